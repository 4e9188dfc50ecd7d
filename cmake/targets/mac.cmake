# Mac editor window binding and the macOS component bundle.
# What the Cocoa view and the Mac services decide is plain C++ (mac_logic), built and tested
# on every platform. The Objective-C++ glue that carries those decisions to AppKit and
# CoreGraphics builds only on Apple; tests/mac compiles it in syntax-only mode elsewhere.
include(${CMAKE_SOURCE_DIR}/cmake/TeskInfoPlist.cmake)

set(TESK_MAC_GLUE_SOURCES
  WDL/IPlug/IGraphicsCocoa.mm
  WDL/IPlug/IGraphicsCocoaMenu.mm
  WDL/IPlug/CocoaFormatter.mm
  WDL/IPlug/IGraphicsMac.mm
)
# The view factory carries the plug-in's own class name, so it is built into the bundle.
set(TESK_MAC_VIEW_FACTORY_SOURCE WDL/IPlug/IPlugAU_ViewFactory.mm)

add_library(mac_logic STATIC
  WDL/IPlug/CocoaEventLogic.cpp
  WDL/IPlug/CocoaPromptLogic.cpp
  WDL/IPlug/MacServicesLogic.cpp
  WDL/IPlug/IPlugAU_ViewFactoryLogic.cpp
)
target_include_directories(mac_logic PUBLIC ${CMAKE_SOURCE_DIR}/WDL/IPlug)
target_link_libraries(mac_logic PUBLIC au graphics)

if(NOT APPLE)
  return()
endif()

enable_language(OBJCXX)
set(CMAKE_OBJCXX_STANDARD 20)
# The glue manages its Cocoa objects by hand (retain/release).
set_source_files_properties(${TESK_MAC_GLUE_SOURCES} ${TESK_MAC_VIEW_FACTORY_SOURCE}
                            PROPERTIES COMPILE_OPTIONS "-fno-objc-arc")

add_library(mac_glue STATIC ${TESK_MAC_GLUE_SOURCES})
set_target_properties(mac_glue PROPERTIES OBJCXX_VISIBILITY_PRESET hidden)
target_link_libraries(mac_glue PUBLIC mac_logic raster "-framework Cocoa" "-framework CoreGraphics"
                                      "-framework CoreFoundation" "-framework CoreServices")
# The editor's MakeGraphics (in tesk_controls) creates an IGraphicsMac on this platform.
target_link_libraries(tesk_controls PUBLIC mac_glue)

# Tesk.component: the plug-in, its Info.plist and the editor's images as resources.
tesk_write_info_plist(${CMAKE_CURRENT_BINARY_DIR}/Tesk.component.Info.plist ${PROJECT_VERSION})
file(GLOB TESK_BUNDLE_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/img/*.png)
set_source_files_properties(${TESK_BUNDLE_IMAGES} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

add_library(TeskComponent MODULE ${TESK_MAC_VIEW_FACTORY_SOURCE} ${TESK_BUNDLE_IMAGES})
set_target_properties(TeskComponent PROPERTIES
  BUNDLE TRUE
  BUNDLE_EXTENSION component
  OUTPUT_NAME ${TESK_BUNDLE_EXECUTABLE}
  MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_BINARY_DIR}/Tesk.component.Info.plist)
set_target_properties(TeskComponent PROPERTIES OBJCXX_VISIBILITY_PRESET hidden
                                               LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/TeskComponent.exports)
target_compile_definitions(TeskComponent PRIVATE IPLUG_AU_VIEW_DESCRIPTION="${TESK_AU_VIEW_DESCRIPTION}")
# The whole Audio Unit processor archive: the entries are found by name, never referenced.
# The glue's classes come with IGraphicsMac, which MakeGraphics references. The executable
# exports its three entries and nothing else (dyld would otherwise unify the framework's weak
# symbols with those of any other plug-in built from this code in the same host).
target_link_libraries(TeskComponent PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,tesk_au> "-framework AudioUnit"
                                            "-framework AudioToolbox" "-framework CoreAudio")
target_link_options(TeskComponent PRIVATE
                    "LINKER:-exported_symbols_list,${CMAKE_SOURCE_DIR}/cmake/TeskComponent.exports")

# Hosts on current systems load only signed code; an ad-hoc signature seals the bundle.
find_program(TESK_CODESIGN codesign)
if(TESK_CODESIGN)
  add_custom_command(TARGET TeskComponent POST_BUILD
    COMMAND ${TESK_CODESIGN} --force --sign - $<TARGET_BUNDLE_DIR:TeskComponent>
    VERBATIM)
endif()

set(TESK_AU_INSTALL_DIR "$ENV{HOME}/Library/Audio/Plug-Ins/Components" CACHE PATH
    "Where `cmake --install` puts Tesk.component")
install(TARGETS TeskComponent LIBRARY DESTINATION ${TESK_AU_INSTALL_DIR})
# Installing may rewrite the executable (its run paths), which breaks the seal: sign the
# installed bundle again, and check it as a host's system will.
if(TESK_CODESIGN)
  set(_installed "${TESK_AU_INSTALL_DIR}/${TESK_BUNDLE_NAME}.component")
  install(CODE "execute_process(COMMAND \"${TESK_CODESIGN}\" --force --sign - \"\$ENV{DESTDIR}${_installed}\"
                                COMMAND_ERROR_IS_FATAL ANY)")
  install(CODE "execute_process(COMMAND \"${TESK_CODESIGN}\" --verify --strict \"\$ENV{DESTDIR}${_installed}\"
                                COMMAND_ERROR_IS_FATAL ANY)")
endif()
