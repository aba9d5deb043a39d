# Finds the Gecode constraint solver (Debian: libgecode-dev), which ships no
# CMake or pkg-config files. Defines Gecode::Gecode with the libraries the
# engine uses: integer variables, search and the modelling layer.
find_path(Gecode_INCLUDE_DIR gecode/int.hh)
set(_gecode_parts minimodel int search kernel support)
set(Gecode_LIBRARIES)
set(_gecode_missing)
foreach(part IN LISTS _gecode_parts)
    find_library(Gecode_${part}_LIBRARY NAMES gecode${part})
    if(Gecode_${part}_LIBRARY)
        list(APPEND Gecode_LIBRARIES ${Gecode_${part}_LIBRARY})
    else()
        list(APPEND _gecode_missing Gecode_${part}_LIBRARY)
    endif()
endforeach()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Gecode REQUIRED_VARS Gecode_INCLUDE_DIR Gecode_LIBRARIES)

if(Gecode_FOUND AND NOT TARGET Gecode::Gecode)
    add_library(Gecode::Gecode INTERFACE IMPORTED)
    set_target_properties(Gecode::Gecode PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${Gecode_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${Gecode_LIBRARIES}")
endif()
mark_as_advanced(Gecode_INCLUDE_DIR)
