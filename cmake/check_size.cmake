# cmake -DPROGRAM=file -DBUDGET=bytes -P check_size.cmake: fails when the program is larger.
file(SIZE "${PROGRAM}" size)
get_filename_component(name "${PROGRAM}" NAME)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR budget_kib "${BUDGET} / 1024")
if(size GREATER BUDGET)
    message(FATAL_ERROR "${name} is ${size} bytes (${kib} KiB), over its budget of ${BUDGET} bytes (${budget_kib} KiB)")
endif()
message(STATUS "${name}: ${size} bytes (${kib} KiB of ${budget_kib} KiB)")
