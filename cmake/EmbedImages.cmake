# tesk_embed_images(<target> <png files>...)
# Compiles PNG files into <target>: a generated source holds their bytes and
# registers each under its file name at static-initialisation time, so the
# graphics host finds them without any installed file. Add it to an executable or
# shared library (a static library's unreferenced objects would be dropped).
set(TESK_EMBED_IMAGES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedImagesScript.cmake)

function(tesk_embed_images target)
  set(files "")
  foreach(f IN LISTS ARGN)
    get_filename_component(abs ${f} ABSOLUTE)
    list(APPEND files ${abs})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_embedded_images.cpp)
  string(REPLACE ";" "|" files_arg "${files}")
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${out} -DFILES=${files_arg} -P ${TESK_EMBED_IMAGES_SCRIPT}
    DEPENDS ${files} ${TESK_EMBED_IMAGES_SCRIPT}
    COMMENT "Embedding images into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
  target_link_libraries(${target} PRIVATE graphics)
endfunction()
