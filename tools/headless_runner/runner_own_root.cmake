# Gives a runner script a data root of its own, NAME under the folder it runs
# in: the runner plays from the folder its program lies in, so the program is
# linked there, every other entry of the built game is linked beside it, and
# the save folder, where the runner writes its logs and saves, is its own.
# Other tests read the built game's folder while these run.
# Sets GAME_DIR and RUNNER for the rest of the script.
function(runner_own_root name)
  set(root "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}/Savegame")
  file(GLOB entries RELATIVE "${GAME_DIR}" "${GAME_DIR}/*")
  foreach(entry IN LISTS entries)
    if(NOT entry STREQUAL "Savegame" AND NOT entry STREQUAL "veldrane-headless")
      file(CREATE_LINK "${GAME_DIR}/${entry}" "${root}/${entry}" SYMBOLIC)
    endif()
  endforeach()
  file(CREATE_LINK "${RUNNER}" "${root}/veldrane-headless" COPY_ON_ERROR)
  set(GAME_DIR "${root}" PARENT_SCOPE)
  set(RUNNER "${root}/veldrane-headless" PARENT_SCOPE)
endfunction()
