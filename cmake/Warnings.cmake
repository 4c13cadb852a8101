# Strict warnings for targets we write; third-party code is never built with them.
function(quillbox_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${QUILLBOX_WERROR}>:/WX>)
  else()
    # A test module is in C, where the C++ checks do not apply.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wcast-align
      -Wimplicit-fallthrough
      $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>
      $<$<BOOL:${QUILLBOX_WERROR}>:-Werror>)
  endif()
endfunction()
