# Run by cpack after it has made the packages: SHA256SUMS beside them lists
# their sums, as sha256sum -c reads them.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(SHA256 "${package}" sum)
    get_filename_component(name "${package}" NAME)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${sums}")
