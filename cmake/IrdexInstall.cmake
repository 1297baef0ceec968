# Installing the suite like any Linux program (`make install`, honouring CMAKE_INSTALL_PREFIX
# and DESTDIR) and packing it as one Debian package (`make package`).
#
# Included once at the end of the top-level build file, so every program's target already
# exists when its rule is written; a program whose folder has not landed yet is left out.

include(GNUInstallDirs)

set(IRDEX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(IRDEX_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/irdex)

# ---- programs and the library ---------------------------------------------------------------

# Under /usr the library sits where the dynamic linker looks anyway (and Debian wants no
# run path there); under any other prefix the programs carry the way to it.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(irdex_program_rpath "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
else()
  set(irdex_program_rpath "")
endif()

# The command-line tool's target may carry either name; it installs as `irdex`.
foreach(program solvane tessor pagana irsim irdex_cli irdex-cli)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "${irdex_program_rpath}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  endif()
endforeach()

install(TARGETS irdex
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/sdk/include/irdex.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

configure_file(${IRDEX_PACKAGING_DIR}/irdex.pc.in ${CMAKE_BINARY_DIR}/packaging/irdex.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/irdex.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)

# ---- data files -----------------------------------------------------------------------------

# The delivered files of data/ and the generated ones, in the folder the library asks second.
file(GLOB irdex_data_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
list(FILTER irdex_data_sources EXCLUDE REGEX "/(CMakeLists\\.txt|README\\.md)$")
install(FILES ${irdex_data_sources} DESTINATION ${IRDEX_INSTALL_DATA_DIR} COMPONENT Runtime)
if(TARGET irdex_gen_temp_tables_files)
  install(FILES ${IRDEX_BIN_DIR}/TempMapTable_L.bin ${IRDEX_BIN_DIR}/TempMapTable_M.bin
    DESTINATION ${IRDEX_INSTALL_DATA_DIR} COMPONENT Runtime)
endif()
if(TARGET irdex_palettes)
  install(FILES ${IRDEX_BIN_DIR}/colormap.bin
    DESTINATION ${IRDEX_INSTALL_DATA_DIR} COMPONENT Runtime)
endif()

# ---- desktop integration --------------------------------------------------------------------

# Each program's menu entry and its AppStream entry (named by the company's reversed domain).
set(IRDEX_DESKTOP_PROGRAMS solvane tessor pagana)
foreach(program IN LISTS IRDEX_DESKTOP_PROGRAMS)
  if(NOT TARGET ${program})
    continue()
  endif()
  string(SUBSTRING ${program} 0 1 initial)
  string(TOUPPER ${initial} initial)
  string(SUBSTRING ${program} 1 -1 rest)
  install(FILES ${IRDEX_PACKAGING_DIR}/desktop/${program}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT Runtime)
  install(FILES ${IRDEX_PACKAGING_DIR}/desktop/com.example.${initial}${rest}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT Runtime)
endforeach()
install(FILES ${IRDEX_PACKAGING_DIR}/mime/irdex.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT Runtime)

# Icons: the drawings are the source; the bitmap sizes are rendered from them at build time,
# so they never drift apart.
set(IRDEX_ICON_SIZES 16 24 32 48 64 128 256)
find_program(IRDEX_RSVG_CONVERT rsvg-convert)
set(irdex_icon_outputs "")
foreach(program IN LISTS IRDEX_DESKTOP_PROGRAMS)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(svg ${IRDEX_PACKAGING_DIR}/icons/${program}.svg)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    COMPONENT Runtime)
  if(NOT IRDEX_RSVG_CONVERT)
    continue()
  endif()
  foreach(size IN LISTS IRDEX_ICON_SIZES)
    set(png ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}/${program}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}
      COMMAND ${IRDEX_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
      DEPENDS ${svg} VERBATIM)
    list(APPEND irdex_icon_outputs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      COMPONENT Runtime)
  endforeach()
endforeach()
if(NOT IRDEX_RSVG_CONVERT)
  message(WARNING "rsvg-convert not found (Debian librsvg2-bin): only the scalable icons install")
endif()

# ---- manual pages and the HTML manual ---------------------------------------------------------

# Compressed, as Debian's man pages are.
file(GLOB irdex_man_pages CONFIGURE_DEPENDS ${IRDEX_PACKAGING_DIR}/man/*.1)
set(irdex_man_outputs "")
foreach(page IN LISTS irdex_man_pages)
  get_filename_component(name ${page} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/man/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${page} ${compressed}
    DEPENDS ${page} VERBATIM)
  list(APPEND irdex_man_outputs ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endforeach()
add_custom_target(irdex_packaging_files ALL DEPENDS ${irdex_icon_outputs} ${irdex_man_outputs})

install(DIRECTORY ${IRDEX_PACKAGING_DIR}/manual/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/irdex/manual COMPONENT Runtime)

# ---- the Python module ------------------------------------------------------------------------

# Debian's own modules live in lib/python3/dist-packages under /usr; elsewhere Debian's Python
# reads lib/python3.X/dist-packages. Left empty, the folder follows the prefix.
set(IRDEX_PYTHON_DIR "" CACHE STRING
  "Folder under the prefix for the Python module irdex (empty: chosen from the prefix)")
find_package(Python3 COMPONENTS Interpreter)
if(IRDEX_PYTHON_DIR)
  set(irdex_python_dir ${IRDEX_PYTHON_DIR})
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr" OR NOT Python3_FOUND)
  set(irdex_python_dir lib/python3/dist-packages)
else()
  set(irdex_python_dir lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/dist-packages)
endif()
# The installed module loads the installed library by its full path first.
set(IRDEX_PYTHON_LIBRARY
  "${CMAKE_INSTALL_FULL_LIBDIR}/libirdex.so.${PROJECT_VERSION_MAJOR}")
configure_file(${PROJECT_SOURCE_DIR}/python/irdex/_installed.py.in
  ${CMAKE_BINARY_DIR}/python/irdex/_installed.py @ONLY)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/irdex DESTINATION ${irdex_python_dir}
  COMPONENT Runtime FILES_MATCHING PATTERN "*.py" PATTERN "__pycache__" EXCLUDE)
install(FILES ${CMAKE_BINARY_DIR}/python/irdex/_installed.py
  DESTINATION ${irdex_python_dir}/irdex COMPONENT Runtime)

# ---- the Debian package -----------------------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME irdex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Irdex")
set(CPACK_PACKAGE_CONTACT "Irdex developers <dev@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "networked radiometric thermal cameras: analyzer, controller, report program and SDK")
set(CPACK_PACKAGE_DESCRIPTION
  "Solvane views, measures and records live or recorded thermal video; Tessor finds cameras \
and edits their settings; Pagana prints inspection reports from radiometric snapshots. \
Also the camera SDK libirdex with its header, a camera simulator, the irdex command-line \
tool and the Python module irdex.")
# The library's data folder is compiled in, so the package goes where the build was configured
# to install (`make package` configures with the prefix /usr).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The suite's own library is found inside the package (dpkg-shlibdeps runs in the package's
# staging folder), not among the installed ones.
string(REGEX REPLACE "^/" "" irdex_staged_libdir "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${irdex_staged_libdir})
# What shlibdeps cannot see: the DNS-SD library is opened at run time, Qt loads its display
# plugins at run time, and the Python module needs numpy. The desktop caches are refreshed by
# the recommended packages' triggers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, python3-numpy, libavahi-compat-libdnssd1, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avahi-daemon, fonts-dejavu-core, shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_STRIP_FILES ON)
include(CPack)

# ---- checks -----------------------------------------------------------------------------------

if(IRDEX_BUILD_TESTS)
  # The menu entries, AppStream entries, file types and manual pages, as the tools that read
  # them on a user's machine would.
  add_test(NAME Packaging.DesktopEntriesValidate
    COMMAND desktop-file-validate ${IRDEX_PACKAGING_DIR}/desktop/solvane.desktop
            ${IRDEX_PACKAGING_DIR}/desktop/tessor.desktop
            ${IRDEX_PACKAGING_DIR}/desktop/pagana.desktop)
  file(GLOB irdex_metainfo ${IRDEX_PACKAGING_DIR}/desktop/*.metainfo.xml)
  add_test(NAME Packaging.AppStreamEntriesValidate
    COMMAND appstreamcli validate --no-net ${irdex_metainfo})
  add_test(NAME Packaging.FileTypesAreRecognised
    COMMAND bash ${IRDEX_PACKAGING_DIR}/tests/mime_test.sh ${IRDEX_PACKAGING_DIR}/mime/irdex.xml)
  add_test(NAME Packaging.ManualPagesRenderWithoutWarnings
    COMMAND bash ${IRDEX_PACKAGING_DIR}/tests/man_test.sh ${irdex_man_pages})
  set_tests_properties(Packaging.DesktopEntriesValidate Packaging.AppStreamEntriesValidate
    Packaging.FileTypesAreRecognised Packaging.ManualPagesRenderWithoutWarnings
    PROPERTIES LABELS "packaging" TIMEOUT 120)

  # `make install` into a staging folder: the layout, the library's links, and the installed
  # Python module driving the installed library.
  add_test(NAME Install.StagedTreeIsComplete
    COMMAND bash ${IRDEX_PACKAGING_DIR}/tests/install_test.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_LIBDIR} ${irdex_python_dir}
            ${PROJECT_VERSION})
  set_tests_properties(Install.StagedTreeIsComplete PROPERTIES LABELS "packaging" TIMEOUT 300)

  # The Debian package, built with CPack and listed with dpkg-deb. Labelled "package" so a
  # quick run can leave it out (`ctest -LE package`).
  add_test(NAME Install.DebianPackageHoldsTheSuite
    COMMAND bash ${IRDEX_PACKAGING_DIR}/tests/package_test.sh ${CMAKE_BINARY_DIR}
            ${PROJECT_VERSION})
  set_tests_properties(Install.DebianPackageHoldsTheSuite PROPERTIES
    LABELS "packaging;package" TIMEOUT 600 RESOURCE_LOCK irdex_install_tree)
  set_tests_properties(Install.StagedTreeIsComplete PROPERTIES RESOURCE_LOCK irdex_install_tree)

  # The Python module against the library of this build tree, its data files, files made by
  # the library's and the snapshot's writers, and the simulator on loopback.
  if(TARGET snapshot)
    add_executable(irdex_test_write_snapshot ${PROJECT_SOURCE_DIR}/python/tests/write_snapshot.cpp)
    target_link_libraries(irdex_test_write_snapshot PRIVATE snapshot irdex_warnings)
  endif()
  file(GLOB irdex_python_tests ${PROJECT_SOURCE_DIR}/python/tests/test_*.py)
  foreach(test_file IN LISTS irdex_python_tests)
    get_filename_component(test_name ${test_file} NAME_WE)
    string(REGEX REPLACE "^test_" "" test_name ${test_name})
    set(environment
      "IRDEX_LIBRARY=$<TARGET_FILE:irdex>"
      "IRDEX_DATA_DIR=${IRDEX_BIN_DIR}"
      "PYTHONPATH=${PROJECT_SOURCE_DIR}/python"
      "PYTHONDONTWRITEBYTECODE=1")
    if(TARGET irsim)
      list(APPEND environment "IRDEX_IRSIM=$<TARGET_FILE:irsim>")
    endif()
    if(TARGET irdex_test_write_snapshot)
      list(APPEND environment "IRDEX_SNAPSHOT_WRITER=$<TARGET_FILE:irdex_test_write_snapshot>")
    endif()
    # Debian's interpreter, where python3-numpy and python3-pytest are installed.
    add_test(NAME Python.${test_name}
      COMMAND /usr/bin/python3 -m pytest -q -p no:cacheprovider ${test_file})
    set_tests_properties(Python.${test_name} PROPERTIES
      ENVIRONMENT "${environment}" LABELS "python" TIMEOUT 300)
  endforeach()
endif()
