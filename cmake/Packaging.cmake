# The portable archive: one folder, rdp-launcher-<version>-linux-<arch>/, holding the
# program with rdp-store beside it (the program keeps its store beside itself, so the
# folder is the program folder), the icons, the desktop entry template, the AppStream
# metainfo, the read-mes, the licence and the script that installs the desktop entry.
#   cmake --build <build dir> --target package
if(NOT RDP_WITH_FREERDP)
    return()
endif()

set(RDP_APP_ID io.github.rdp_launcher)
set(RDP_RELEASE_DATE 2026-12-07)
set(RDP_HOMEPAGE "https://github.com/rdp-launcher/rdp-launcher" CACHE STRING
    "The project's home page, named in the AppStream metainfo")
set(RDP_SCREENSHOT_BASE "${RDP_HOMEPAGE}/raw/main/docs")
# What the program needs at run time on Debian 12 beyond the base system: the shared
# libraries it links (their own dependencies follow) and a CJK font.
set(RDP_RUNTIME_PACKAGES
    "libqt6widgets6 libfreerdp2-2 libfreerdp-client2-2 libwinpr2-2 libxext6 fonts-noto-cjk")
if(RDP_SYSTEM_FOLDER)
    set(RDP_RECORD_FOLDER "${RDP_SYSTEM_FOLDER}")
else()
    set(RDP_RECORD_FOLDER "~/.local/state/rdp-launcher/")
endif()

string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" rdp_arch)
# CPack's own module changes CPACK_PACKAGE_FILE_NAME while it writes the source
# configuration, so the name is kept here for the release test as well.
set(RDP_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-linux-${rdp_arch}")
set(CPACK_PACKAGE_FILE_NAME ${RDP_PACKAGE_FILE_NAME})

set(rdp_packaging_src ${CMAKE_SOURCE_DIR}/packaging)
set(rdp_packaging_out ${CMAKE_BINARY_DIR}/packaging)

# Icons: the hand-drawn SVG and the PNG sizes rendered from it, in the hicolor layout
# that the install script copies as it is. Without the renderer the program still builds;
# only packing the archive fails, saying why.
set(rdp_icon_svg ${rdp_packaging_src}/icons/${RDP_APP_ID}.svg)
find_program(RDP_RSVG_CONVERT rsvg-convert)
if(RDP_RSVG_CONVERT)
    set(rdp_icon_pngs)
    foreach(size 16 32 48 64 128 256)
        set(dir ${rdp_packaging_out}/icons/hicolor/${size}x${size}/apps)
        add_custom_command(OUTPUT ${dir}/${RDP_APP_ID}.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${RDP_RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/${RDP_APP_ID}.png
                    ${rdp_icon_svg}
            DEPENDS ${rdp_icon_svg}
            COMMENT "Rendering the ${size}x${size} icon"
            VERBATIM)
        list(APPEND rdp_icon_pngs ${dir}/${RDP_APP_ID}.png)
    endforeach()
    add_custom_target(rdp_icons ALL DEPENDS ${rdp_icon_pngs})
else()
    set(rdp_no_renderer "rsvg-convert (Debian librsvg2-bin) renders the icons of the release \
archive; scripts/install-deps.sh installs it")
    message(WARNING "${rdp_no_renderer}")
    install(CODE "message(FATAL_ERROR \"${rdp_no_renderer}\")")
endif()

configure_file(${rdp_packaging_src}/${RDP_APP_ID}.desktop.in
               ${rdp_packaging_out}/${RDP_APP_ID}.desktop.in @ONLY)
configure_file(${rdp_packaging_src}/${RDP_APP_ID}.metainfo.xml.in
               ${rdp_packaging_out}/${RDP_APP_ID}.metainfo.xml @ONLY)
configure_file(${rdp_packaging_src}/说明.txt.in ${rdp_packaging_out}/说明.txt @ONLY)
configure_file(${rdp_packaging_src}/README.txt.in ${rdp_packaging_out}/README.txt @ONLY)

# The program links only system libraries: nothing to find beside it, no run path.
set_target_properties(rdp-launcher rdp-store PROPERTIES INSTALL_RPATH "")
install(TARGETS rdp-launcher rdp-store RUNTIME DESTINATION .)
install(PROGRAMS ${rdp_packaging_src}/install-desktop-entry.sh DESTINATION .)
install(FILES
    ${rdp_packaging_out}/${RDP_APP_ID}.desktop.in
    ${rdp_packaging_out}/${RDP_APP_ID}.metainfo.xml
    ${rdp_packaging_out}/说明.txt
    ${rdp_packaging_out}/README.txt
    ${CMAKE_SOURCE_DIR}/LICENSE
    DESTINATION .)
if(RDP_RSVG_CONVERT)
    install(DIRECTORY ${rdp_packaging_out}/icons/hicolor DESTINATION icons)
endif()
install(FILES ${rdp_icon_svg} DESTINATION icons/hicolor/scalable/apps)

set(CPACK_GENERATOR TGZ)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The rdp-launcher authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Remote Desktop launcher with a Simplified-Chinese interface")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
