# What each floor of the build sees (cmake/floors.cmake): a view is a folder
# of links to just the headers it may include, under floors/ in the build.
set(QUILLMOOR_VIEWS ${CMAKE_BINARY_DIR}/floors)

# A view: links to the headers of the folders named (every .h in each) and
# to single headers, under floors/<name>/ as they stand in the tree.
function(quillmoor_view name)
  set(dir ${QUILLMOOR_VIEWS}/${name})
  file(REMOVE_RECURSE ${dir})
  foreach(item ${ARGN})
    if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${item})
      file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${item}/*.h)
    else()
      set(headers ${item})
    endif()
    foreach(header ${headers})
      get_filename_component(folder ${dir}/${header} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${dir}/${header} SYMBOLIC)
    endforeach()
  endforeach()
endfunction()

# The portable ground sees only itself.
quillmoor_view(ground engine media)
