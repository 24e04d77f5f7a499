# Run by CPack once it has made the packages (CPACK_POST_BUILD_SCRIPTS). CPack's -dbgsym package
# names its file in md5sums by the path where CPack staged it instead of its path in the package,
# marks the symbols file executable, and has no documentation folder. This rebuilds it the way
# Debian's own dbgsym packages are made: md5sums by package path, the symbols file not executable,
# and usr/share/doc/<package>-dbgsym a link to the program package's folder, whose copyright and
# changelog cover it (the -dbgsym package depends on that exact version).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "-dbgsym_[^/]*\\.ddeb$")
        continue()
    endif()
    set(work "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-rebuild")
    file(REMOVE_RECURSE "${work}")
    execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${work}" COMMAND_ERROR_IS_FATAL ANY)

    file(GLOB_RECURSE contents LIST_DIRECTORIES false RELATIVE "${work}" "${work}/usr/*")
    list(SORT contents)
    set(sums "")
    foreach(path IN LISTS contents)
        file(CHMOD "${work}/${path}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        file(MD5 "${work}/${path}" sum)
        string(APPEND sums "${sum}  ${path}\n")
    endforeach()
    file(WRITE "${work}/DEBIAN/md5sums" "${sums}")

    file(MAKE_DIRECTORY "${work}/usr/share/doc")
    file(CREATE_LINK "${CPACK_PACKAGE_NAME}" "${work}/usr/share/doc/${CPACK_PACKAGE_NAME}-dbgsym" SYMBOLIC)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${work}" "${package}"
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${work}")
endforeach()
