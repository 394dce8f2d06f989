# Installs the library, its headers and a package so that find_package(tambergui) works.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tambergui EXPORT tamberguiTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(dir util core controls text dialogs rich)
  install(DIRECTORY ${dir}/ DESTINATION include/tambergui/${dir} FILES_MATCHING PATTERN "*.h")
endforeach()
# The default font, found there when an application runs without its own copy.
target_compile_definitions(tambergui PRIVATE
  TAMBERGUI_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/tambergui")
find_file(TAMBERGUI_VERA_TTF Vera.ttf PATHS /usr/share/fonts/truetype/ttf-bitstream-vera NO_DEFAULT_PATH)
if(TAMBERGUI_VERA_TTF)
  install(FILES ${TAMBERGUI_VERA_TTF} DESTINATION ${CMAKE_INSTALL_DATADIR}/tambergui/fonts)
  if(EXISTS /usr/share/doc/ttf-bitstream-vera/copyright)
    install(FILES /usr/share/doc/ttf-bitstream-vera/copyright
      DESTINATION ${CMAKE_INSTALL_DATADIR}/tambergui/fonts RENAME Vera-COPYRIGHT)
  endif()
endif()
install(EXPORT tamberguiTargets NAMESPACE tambergui:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tambergui)
configure_package_config_file(cmake/tamberguiConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/tamberguiConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tambergui)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tamberguiConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tamberguiConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/tamberguiConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tambergui)
