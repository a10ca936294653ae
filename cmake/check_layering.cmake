# Checks every #include "folder/..." of the product folders against the layering below and fails,
# naming the file and the include, on an arrow the layering does not allow. Run as a script
# (cmake -DSOURCE_DIR=... -P check_layering.cmake) on every build, so a new arrow fails the build
# rather than waiting for a review.
#
# The layers: base and resources at the bottom; settings, ui, jre and jvm decide things on top of
# them only; splash also draws with ui; launcher ties everything together.
cmake_minimum_required(VERSION 3.25)
set(allowed_base "")
set(allowed_resources "")
set(allowed_settings base resources)
set(allowed_ui base resources)
set(allowed_jre base resources)
set(allowed_jvm base resources)
set(allowed_splash base resources ui)
set(allowed_launcher base resources settings ui jre jvm splash)
set(folders base resources settings ui jre jvm splash launcher)

set(violations "")
foreach(folder IN LISTS folders)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp"
         "${SOURCE_DIR}/${folder}/*.c" "${SOURCE_DIR}/${folder}/*.rc")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
            if(target STREQUAL folder OR NOT target IN_LIST folders)
                continue()
            endif()
            if(NOT target IN_LIST allowed_${folder})
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                string(STRIP "${line}" line)
                list(APPEND violations "${shown}: ${line} (${folder}/ may use: ${allowed_${folder}})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " shown)
    message(FATAL_ERROR "Includes against the layering of the product folders:\n  ${shown}")
endif()
