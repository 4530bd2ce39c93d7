# The static site of kelvo in the browser, in ${CMAKE_BINARY_DIR}/site: the page, the program
# (kelvo.js, kelvo.wasm), the bundled tables packed beside it (kelvo.data), the manual, the
# service worker that keeps it all for offline use, the web app manifest and its icons.
set(KELVO_SITE ${CMAKE_BINARY_DIR}/site)
add_executable(kelvo-web ${PROJECT_SOURCE_DIR}/programs/main_web.cpp)
target_link_libraries(kelvo-web PRIVATE app platform_web)
set_target_properties(kelvo-web PROPERTIES OUTPUT_NAME kelvo SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${KELVO_SITE})
# Asyncify lets the logic wait for a dialog's answer as it does on the desktop; the tables
# are preloaded into the program's own files at /kelvo/BD; the designer's own files live in
# IndexedDB (IDBFS) under /user.
target_link_options(kelvo-web PRIVATE -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1
  -sENVIRONMENT=web,worker -sEXPORTED_RUNTIME_METHODS=FS,callMain -lidbfs.js -sINVOKE_RUN=0
  "SHELL:--preload-file ${KELVO_DATA_OUTPUT}/BD@/kelvo/BD"
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/packaging/manual/index.html@/kelvo/manual/index.html")
add_dependencies(kelvo-web feature_tables)

set(site_sources index.html kelvo.css page.js sw.js manifest.webmanifest)
set(site_outputs)
foreach(file ${site_sources})
  add_custom_command(OUTPUT ${KELVO_SITE}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/web/${file} ${KELVO_SITE}/${file}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/web/${file} VERBATIM)
  list(APPEND site_outputs ${KELVO_SITE}/${file})
endforeach()
foreach(size 32 128 256)
  set(icon ${KELVO_SITE}/icon-${size}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/res/icons/kelvo-${size}.png ${icon}
    DEPENDS ${PROJECT_SOURCE_DIR}/res/icons/kelvo-${size}.png VERBATIM)
  list(APPEND site_outputs ${icon})
endforeach()
add_custom_command(OUTPUT ${KELVO_SITE}/favicon.ico
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/res/kelvo.ico ${KELVO_SITE}/favicon.ico
  DEPENDS ${PROJECT_SOURCE_DIR}/res/kelvo.ico VERBATIM)
list(APPEND site_outputs ${KELVO_SITE}/favicon.ico)
add_custom_command(OUTPUT ${KELVO_SITE}/manual/index.html
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/packaging/manual ${KELVO_SITE}/manual
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/manual/index.html VERBATIM)
list(APPEND site_outputs ${KELVO_SITE}/manual/index.html)
add_custom_target(site ALL DEPENDS ${site_outputs} kelvo-web)
