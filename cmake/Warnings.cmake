# Strict warnings for targets we write; third-party code is never built with them.
function(quillbox_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${QUILLBOX_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
      -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
      -Wimplicit-fallthrough $<$<BOOL:${QUILLBOX_WERROR}>:-Werror>)
  endif()
endfunction()
