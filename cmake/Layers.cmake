# The program is built in layers, from the bottom: base, scores, ranks,
# views, core; the programs (ui/, report/) sit on top. A folder's headers are
# reachable only through an include root that holds that folder alone, and
# a target gets the roots of the libraries it links: an include from a layer
# above is not found, so it fails to build instead of growing a circle.

# An include root that shows `folder` and nothing else; a nested folder
# (tests/support) keeps its whole path, so its siblings stay hidden.
function(quillbox_include_root folder out)
  string(REPLACE "/" "." name ${folder})
  set(root ${PROJECT_BINARY_DIR}/include-roots/${name})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# Lets `target` include "<folder>/..." for each folder given.
function(quillbox_sees target scope)
  foreach(folder IN LISTS ARGN)
    quillbox_include_root(${folder} root)
    target_include_directories(${target} ${scope} ${root})
  endforeach()
endfunction()

# quillbox_layer(name SOURCES ... BELOW lower layers ...): the library
# quillbox_<name>, built from <name>/, seeing only itself and BELOW.
set(QUILLBOX_LAYERS "" CACHE INTERNAL "")
function(quillbox_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;BELOW")
  list(TRANSFORM arg_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${name}/)
  add_library(quillbox_${name} STATIC ${arg_SOURCES})
  quillbox_sees(quillbox_${name} PUBLIC ${name})
  foreach(lower IN LISTS arg_BELOW)
    target_link_libraries(quillbox_${name} PUBLIC quillbox_${lower})
  endforeach()
  if(QUILLBOX_PORTABLE_CORE)
    target_compile_definitions(quillbox_${name} PUBLIC QUILLBOX_PORTABLE_CORE)
  endif()
  quillbox_warnings(quillbox_${name})
  set(QUILLBOX_LAYERS ${QUILLBOX_LAYERS} ${name} CACHE INTERNAL "")
endfunction()
