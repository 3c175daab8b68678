# What `cmake --install` puts under the prefix, and the .deb that `make package` makes of it (CPack).
#
#   lib/libvantamax.a                        every runtime library in one archive
#   include/vantamax/<subsystem>/*.h         the public headers (below)
#   lib/cmake/VantaMax/                      the CMake package: find_package(VantaMax CONFIG REQUIRED) gives
#                                            VantaMax::vantamax
#   lib/pkgconfig/vantamax.pc                for pkg-config --cflags --libs vantamax
#   bin/vanta-asset, bin/vanta-script, bin/vanta-play   the tools
#   share/vantamax/fonts/                    the fonts the runtime embeds ("vantafont.bin", "Vanta.fon")
#   share/doc/vantamax/                      the README, the guides and, once `make docs` ran, the reference
#
# Installed code includes "graphics/Draw.h" as the tree does: the package puts include/vantamax on the
# include path (and include/ too, so <vantamax/graphics/Draw.h> works as well). Nothing installed names a
# path of the source or build tree, so the tree moves as a whole (the .pc file finds itself).
include(CMakePackageConfigHelpers)

set(VANTA_INSTALL_LIBDIR lib)
set(VANTA_INSTALL_CMAKEDIR ${VANTA_INSTALL_LIBDIR}/cmake/VantaMax)
set(VANTA_INSTALL_INCLUDEDIR include/vantamax)

# The system libraries the runtime links, in one place: the package's config file and the .pc file
# repeat these names. Found through pkg-config where the Debian package ships a .pc file.
set(VANTA_PKG_MODULES sdl2 freetype2 ogg vorbisfile lua5.1-c++)
pkg_check_modules(VantaMaxDeps REQUIRED IMPORTED_TARGET ${VANTA_PKG_MODULES})
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
set(OpenGL_GL_PREFERENCE LEGACY)
find_package(OpenGL REQUIRED)

# One archive of every subsystem library's objects: a game links one library in any order.
get_property(vanta_libraries GLOBAL PROPERTY VANTA_LIBRARIES)
set(vanta_objects "")
foreach(library ${vanta_libraries})
    list(APPEND vanta_objects $<TARGET_OBJECTS:${library}>)
endforeach()
add_library(vantamax_archive STATIC ${vanta_objects})
set_target_properties(vantamax_archive PROPERTIES OUTPUT_NAME vantamax EXPORT_NAME vantamax LINKER_LANGUAGE CXX)
target_include_directories(vantamax_archive INTERFACE
    $<INSTALL_INTERFACE:${VANTA_INSTALL_INCLUDEDIR}> $<INSTALL_INTERFACE:include>)
target_compile_features(vantamax_archive INTERFACE cxx_std_20)
target_link_libraries(vantamax_archive INTERFACE
    PkgConfig::VantaMaxDeps PNG::PNG JPEG::JPEG OpenGL::GL Threads::Threads)

install(TARGETS vantamax_archive EXPORT VantaMaxTargets ARCHIVE DESTINATION ${VANTA_INSTALL_LIBDIR})
install(EXPORT VantaMaxTargets NAMESPACE VantaMax:: DESTINATION ${VANTA_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/package/VantaMaxConfig.cmake.in
    ${CMAKE_BINARY_DIR}/package/VantaMaxConfig.cmake INSTALL_DESTINATION ${VANTA_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/VantaMaxConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/VantaMaxConfig.cmake ${CMAKE_BINARY_DIR}/package/VantaMaxConfigVersion.cmake
    DESTINATION ${VANTA_INSTALL_CMAKEDIR})

string(REPLACE ";" " " VANTA_PC_REQUIRES "${VANTA_PKG_MODULES} libpng libjpeg gl")
configure_file(${CMAKE_SOURCE_DIR}/cmake/package/vantamax.pc.in ${CMAKE_BINARY_DIR}/package/vantamax.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/vantamax.pc DESTINATION ${VANTA_INSTALL_LIBDIR}/pkgconfig)

# The public headers, which are what the reference documents (the `headers` component, which `make docs`
# installs for Doxygen): every header of the runtime's subsystem folders, their backends' included, but
#   - detail/ folders, internals (except pixmap/loaders/detail/JPEGGlue.h, whose declarations the JPEG
#     loader's header needs; it is installed, not documented);
#   - platform/, the SDL edge that the layers above are built on, except the key codes
#     (platform/VirtualKeys.h, published through system/Keys.h);
#   - the native mixer of audio/waveout/, except the driver that games select (WaveOutAudioDriver.h).
foreach(subsystem runtime stream system pixmap graphics audio console script startup)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${subsystem}/ DESTINATION ${VANTA_INSTALL_INCLUDEDIR}/${subsystem}
        COMPONENT headers
        FILES_MATCHING PATTERN "*.h" PATTERN "detail" EXCLUDE PATTERN "fonts" EXCLUDE PATTERN "waveout" EXCLUDE)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/audio/waveout/WaveOutAudioDriver.h
    DESTINATION ${VANTA_INSTALL_INCLUDEDIR}/audio/waveout COMPONENT headers)
install(FILES ${CMAKE_SOURCE_DIR}/platform/VirtualKeys.h DESTINATION ${VANTA_INSTALL_INCLUDEDIR}/platform
    COMPONENT headers)
install(FILES ${VANTA_GENERATED_INCLUDE_DIR}/runtime/Version.h DESTINATION ${VANTA_INSTALL_INCLUDEDIR}/runtime
    COMPONENT headers)
install(FILES ${CMAKE_SOURCE_DIR}/pixmap/loaders/detail/JPEGGlue.h
    DESTINATION ${VANTA_INSTALL_INCLUDEDIR}/pixmap/loaders/detail)

install(TARGETS vanta-asset vanta-script vanta-play RUNTIME DESTINATION bin)
install(FILES ${VANTA_DEFAULT_FONT} ${VANTA_CONSOLE_FONT} DESTINATION share/vantamax/fonts)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/vantamax)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION share/doc/vantamax)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/templates/starter DESTINATION share/vantamax/templates)
install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/html DESTINATION share/doc/vantamax OPTIONAL)

# The .deb: the same tree under /usr, depending on the Debian packages a game needs to build against it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantamax-dev)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR VantaMax)
set(CPACK_PACKAGE_CONTACT "VantaMax developers <vantamax@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VantaMax 2D game runtime: library, headers, tools and documentation")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "VantaMax is a 2D game runtime in C++20: windows and OpenGL drawing of
 images, text and shapes, sound mixing, polled keyboard and mouse input, a developer console and Lua
 scripting. This package holds the static library, its headers, a CMake package and a pkg-config file,
 the vanta-asset, vanta-script and vanta-play tools, a starter game and the documentation.")
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "g++ (>= 4:12), cmake (>= 3.25), pkg-config, libsdl2-dev, libgl-dev, libpng-dev, libjpeg62-turbo-dev, libfreetype-dev, libvorbis-dev, liblua5.1-0-dev")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
