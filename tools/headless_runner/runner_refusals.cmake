# A game that cannot be loaded gives one line naming its file and code 1.
include(${CMAKE_CURRENT_LIST_DIR}/runner_own_root.cmake)
runner_own_root(refusals-root)
function(expect_refusal pattern)
  execute_process(COMMAND ${RUNNER} ${ARGN} WORKING_DIRECTORY ${GAME_DIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  if(NOT code EQUAL 1)
    message(FATAL_ERROR "veldrane-headless ${ARGN} ended with ${code}, not 1:\n${out}\n${err}")
  endif()
  if(NOT err MATCHES "${pattern}")
    message(FATAL_ERROR "veldrane-headless ${ARGN} said:\n${err}\nnot ${pattern}")
  endif()
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "veldrane-headless ${ARGN} printed days:\n${out}")
  endif()
endfunction()

expect_refusal("Scenario.NoSuchScenario.GMC: the file is missing" NoSuchScenario)
expect_refusal("Savegame.NoSuchSave.SAV: the file is missing" Savegame/NoSuchSave.SAV)
file(WRITE ${GAME_DIR}/Savegame/HEADLESS-BAD.SAV "not a save game at all")
expect_refusal("HEADLESS-BAD.SAV: refused: shorter than its header" Savegame/HEADLESS-BAD.SAV)
file(REMOVE ${GAME_DIR}/Savegame/HEADLESS-BAD.SAV)

# A command line that names a file outside the data root is refused (code 2)
# with a reason, before anything is read.
function(expect_option_refusal pattern)
  execute_process(COMMAND ${RUNNER} ${ARGN} WORKING_DIRECTORY ${GAME_DIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  if(NOT code EQUAL 2 OR NOT err MATCHES "${pattern}" OR NOT out STREQUAL "")
    message(FATAL_ERROR "veldrane-headless ${ARGN} ended with ${code}:\n${out}\n${err}\nnot ${pattern}")
  endif()
endfunction()

expect_option_refusal("--custom takes the name of a scenario in CUSTOM" --custom ../Scenario/Channel)
expect_option_refusal("--custom takes the name of a scenario in CUSTOM" --custom ..)
expect_option_refusal("is an absolute path" ${GAME_DIR}/Savegame/ANY.SAV)
expect_option_refusal("is an absolute path" --save /tmp/OUT Channel)
# A save name the game cannot hold as its own (Windows-1252) text.
expect_option_refusal("holds characters a game's file name cannot" --save "日本 save" Channel)
