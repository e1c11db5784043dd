# The game's hand-written text content (text lists, rule tables, player
# settings, scenario definitions and texts, tutorials) is copied from data/
# into the data root as it stands. Each file is its own build step, so only
# changed files are copied again.
set(VD_CONTENT_DIR ${PROJECT_SOURCE_DIR}/data)
file(GLOB_RECURSE vd_text_content CONFIGURE_DEPENDS RELATIVE ${VD_CONTENT_DIR}
  ${VD_CONTENT_DIR}/INI/* ${VD_CONTENT_DIR}/AI/* ${VD_CONTENT_DIR}/PlayerSet/*
  ${VD_CONTENT_DIR}/Scenario/* ${VD_CONTENT_DIR}/Localize/* ${VD_CONTENT_DIR}/Tutorials/*)
set(vd_text_content_out)
foreach(file IN LISTS vd_text_content)
  add_custom_command(OUTPUT ${VD_GAME_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VD_CONTENT_DIR}/${file} ${VD_GAME_DIR}/${file}
    DEPENDS ${VD_CONTENT_DIR}/${file}
    COMMENT "Content ${file}" VERBATIM)
  list(APPEND vd_text_content_out ${VD_GAME_DIR}/${file})
endforeach()
add_custom_target(vd_text_content ALL DEPENDS ${vd_text_content_out})
add_dependencies(veldrane vd_text_content)

# The content tests read the shipped sources themselves.
target_compile_definitions(vd_world_tests PRIVATE VD_CONTENT_DIR="${VD_CONTENT_DIR}")
