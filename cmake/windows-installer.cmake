# The Windows installer (target installer: packages/kelvo-VERSION-setup.exe, built with
# NSIS's makensis) and the portable zip (target portable: packages/kelvo-VERSION-portable.zip
# with kelvo.exe, BD\ and a Russian readme.txt on setting the data folder).
if(NOT KELVO_TABLE_FILES)
  message(STATUS "No feature tables to bundle: no installer and no portable zip")
  return()
endif()

set(KELVO_PACKAGES ${PROJECT_BINARY_DIR}/packages)
set(KELVO_SETUP ${KELVO_PACKAGES}/kelvo-${KELVO_VERSION_DOTTED}-setup.exe)
set(KELVO_PORTABLE ${KELVO_PACKAGES}/kelvo-${KELVO_VERSION_DOTTED}-portable.zip)

# The installer installs and removes exactly the tables the build makes.
set(tables_nsh "!macro InstallTables\n")
foreach(table ${KELVO_TABLE_FILES})
  string(APPEND tables_nsh "  File \"${table}\"\n")
endforeach()
string(APPEND tables_nsh "!macroend\n!macro UninstallTables folder\n")
foreach(table ${KELVO_TABLE_FILES})
  get_filename_component(name ${table} NAME)
  string(APPEND tables_nsh "  Delete \"\${folder}\\${name}\"\n")
endforeach()
string(APPEND tables_nsh "!macroend\n")
file(WRITE ${KELVO_PACKAGE_FILES}/tables.nsh "${tables_nsh}")

find_program(KELVO_MAKENSIS makensis)
if(KELVO_MAKENSIS)
  add_custom_command(OUTPUT ${KELVO_SETUP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KELVO_PACKAGES}
    COMMAND ${KELVO_MAKENSIS} -V2 -NOCD
      -DVERSION=${KELVO_VERSION_DOTTED} -DEXE=$<TARGET_FILE:kelvo>
      -DTABLES=${KELVO_PACKAGE_FILES}/tables.nsh -DICON=${PROJECT_SOURCE_DIR}/res/kelvo.ico
      -DOUTFILE=${KELVO_SETUP} -DMANUAL=${PROJECT_SOURCE_DIR}/packaging/manual ${KELVO_PACKAGING}/kelvo.nsi
    DEPENDS kelvo feature_tables ${KELVO_TABLE_FILES} ${KELVO_PACKAGING}/kelvo.nsi ${KELVO_MANUAL_FILES}
      ${KELVO_PACKAGE_FILES}/tables.nsh ${PROJECT_SOURCE_DIR}/res/kelvo.ico
    COMMENT "Building the installer ${KELVO_SETUP}"
    VERBATIM)
  add_custom_target(installer DEPENDS ${KELVO_SETUP})
else()
  message(STATUS "makensis not found (Debian: nsis): no installer target")
endif()

# The readme in UTF-8 with its byte-order mark and CR LF, as Notepad opens it everywhere.
file(READ ${KELVO_PACKAGING}/portable-readme.txt readme)
string(REPLACE "@PROJECT_VERSION@" "${KELVO_VERSION_DOTTED}" readme "${readme}")
string(REPLACE "\n" "\r\n" readme "${readme}")
set(portable ${KELVO_PACKAGE_FILES}/portable)
file(WRITE ${portable}/readme.txt "${readme}")
add_custom_command(OUTPUT ${KELVO_PORTABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${portable}/BD ${portable}/manual ${KELVO_PACKAGES}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kelvo> ${portable}/kelvo.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${KELVO_TABLE_FILES} ${portable}/BD
  COMMAND ${CMAKE_COMMAND} -E copy ${KELVO_MANUAL_FILES} ${portable}/manual
  COMMAND ${CMAKE_COMMAND} -E chdir ${portable}
    ${CMAKE_COMMAND} -E tar cf ${KELVO_PORTABLE} --format=zip kelvo.exe BD manual readme.txt
  DEPENDS kelvo feature_tables ${KELVO_TABLE_FILES} ${KELVO_MANUAL_FILES} ${portable}/readme.txt
  COMMENT "Packing ${KELVO_PORTABLE}"
  VERBATIM)
add_custom_target(portable DEPENDS ${KELVO_PORTABLE})
