# Compiles every engine source on its own, with no include directory at all, and
# fails when one does not build that way, when any header it reaches lies under
# WDL/ (the frameworks and bindings), compat/ (the platform stand-ins) or raster/, or
# when it reaches one of the editor's headers (the layout, the channel to it, the
# controls): the engine feeds no control and reads nothing of the editor.
# Called as: cmake -DCXX=compiler -DSOURCES=a.cpp;b.cpp -P check_engine_includes.cmake
foreach(src IN LISTS SOURCES)
  execute_process(COMMAND ${CXX} -std=c++20 -fsyntax-only -H ${src} RESULT_VARIABLE rc ERROR_VARIABLE tree
                  OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${src} does not build from the engine's own headers and the standard library:\n${tree}")
  endif()
  string(REGEX MATCHALL "[^\n]*/(WDL|compat|raster)/[^\n]*" stray "${tree}")
  if(stray)
    message(FATAL_ERROR "${src} reaches framework, platform or graphics headers:\n${stray}")
  endif()
  string(REGEX MATCHALL "[^\n]*/(TeskEditor|TeskEditorLink|FFTDisplay|WaveformDisplay|Fader|SensKnob|OnOff|Ctrlo|Version)\\.h[^\n]*"
         editor "${tree}")
  if(editor)
    message(FATAL_ERROR "${src} reaches editor headers:\n${editor}")
  endif()
  string(REGEX MATCHALL "\n\\.+ [^\n]*" headers "\n${tree}")
  list(LENGTH headers n)
  message(STATUS "${src}: ${n} headers, none of the frameworks, the platform or the editor")
endforeach()
