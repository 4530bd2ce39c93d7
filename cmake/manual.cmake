# The manual: an HTML page in Russian with pictures of the window (packaging/manual). In the
# build tree where the programs look for it, as after installation: share/kelvo/manual beside
# bin/ on Linux, manual\ beside kelvo.exe on Windows; installed likewise.
file(GLOB KELVO_MANUAL_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/manual/*)
if(WIN32)
  set(KELVO_MANUAL_OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/manual)
else()
  set(KELVO_MANUAL_OUTPUT ${KELVO_DATA_OUTPUT}/manual)
  install(FILES ${KELVO_MANUAL_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvo/manual)
endif()
foreach(file ${KELVO_MANUAL_FILES})
  get_filename_component(name ${file} NAME)
  configure_file(${file} ${KELVO_MANUAL_OUTPUT}/${name} COPYONLY)
endforeach()
