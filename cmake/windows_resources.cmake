# gnc_windows_resources(TARGET DESCRIPTION): the program's icon and version as
# Windows resources, compiled by windres.
function(gnc_windows_resources target description)
  set(GNC_RC_NAME ${target})
  set(GNC_RC_FILE ${target}.exe)
  set(GNC_RC_DESCRIPTION "${description}")
  set(GNC_RC_ICON ${PROJECT_SOURCE_DIR}/resources/windows/gsm-notifier-config.ico)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
