# The test, benchmark and fuzz folders list their binaries as entries "<name>=<library target>".

# Splits ENTRY into its name and library; both stay empty when the library is not part of this build
# (its layer is switched off), so that the caller skips the entry.
function(orvelle_table_entry entry name_variable library_variable)
    string(REPLACE "=" ";" pair ${entry})
    list(GET pair 0 name)
    list(GET pair 1 library)
    if(NOT TARGET ${library})
        set(name "")
        set(library "")
    endif()
    set(${name_variable} "${name}" PARENT_SCOPE)
    set(${library_variable} "${library}" PARENT_SCOPE)
endfunction()
