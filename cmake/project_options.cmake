# Warning policy for the project's own targets. Third-party code (jsoncpp,
# GoogleTest) is compiled elsewhere and never sees these flags.
option(MARROWEL_WERROR "Treat warnings in the project's own code as errors" OFF)

function(marrowel_project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(MARROWEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
