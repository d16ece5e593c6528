# Precompiled headers shared by every target of one kind: the standard
# library and Qt Core for the libraries and programs, GoogleTest besides for
# the test programs, and Qt Widgets too for those that drive windows. Each
# set is compiled once, by a donor target, and reused by the others, which
# takes the parsing of those headers out of every batch (one to two seconds
# each).
#
# GCC takes a precompiled header only where the compile options and the
# macros it reads match the donor's, and otherwise reads the listed headers
# as if no precompiled header existed: a target that does not fit loses the
# time saved, never its meaning. Clang refuses a mismatch with an error, so
# the headers are precompiled for GCC only.
option(CQ_PRECOMPILED_HEADERS "Precompile the common headers (GCC)" ON)

# cq_linked(OUT TARGET): TARGET and every target it links, directly or
# through the libraries it links.
function(cq_linked out target)
  set(seen "")
  set(todo ${target})
  list(LENGTH todo left)
  while(left GREATER 0)
    list(POP_FRONT todo t)
    if(TARGET ${t} AND NOT t IN_LIST seen)
      list(APPEND seen ${t})
      get_target_property(libs ${t} LINK_LIBRARIES)
      get_target_property(ilibs ${t} INTERFACE_LINK_LIBRARIES)
      foreach(lib IN LISTS libs ilibs)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
        if(lib)
          list(APPEND todo ${lib})
        endif()
      endforeach()
    endif()
    list(LENGTH todo left)
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# cq_all_targets(OUT DIR): the targets defined in DIR and below it.
function(cq_all_targets out dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    cq_all_targets(more ${sub})
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

if(CQ_PRECOMPILED_HEADERS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_library(cq_pch_library STATIC ${CMAKE_CURRENT_LIST_DIR}/pch/Donor.cpp)
  target_link_libraries(cq_pch_library PRIVATE Qt6::Core)
  target_precompile_headers(cq_pch_library PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pch/LibraryHeaders.h)
  add_library(cq_pch_test STATIC ${CMAKE_CURRENT_LIST_DIR}/pch/Donor.cpp)
  target_link_libraries(cq_pch_test PRIVATE Qt6::Core GTest::gtest)
  target_precompile_headers(cq_pch_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pch/TestHeaders.h)
  add_library(cq_pch_widget_test STATIC ${CMAKE_CURRENT_LIST_DIR}/pch/Donor.cpp)
  target_link_libraries(cq_pch_widget_test PRIVATE Qt6::Widgets GTest::gtest)
  target_precompile_headers(cq_pch_widget_test PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/pch/WidgetTestHeaders.h)
  target_compile_options(cq_pch_test PRIVATE ${CQ_TEST_COMPILE_OPTIONS})
  target_compile_options(cq_pch_widget_test PRIVATE ${CQ_TEST_COMPILE_OPTIONS})
  set_target_properties(cq_pch_library cq_pch_test cq_pch_widget_test PROPERTIES AUTOMOC OFF)

  cq_all_targets(cq_targets ${CMAKE_SOURCE_DIR})
  foreach(t IN LISTS cq_targets)
    get_target_property(type ${t} TYPE)
    get_target_property(imported ${t} IMPORTED)
    if(t MATCHES "^cq_pch_" OR imported OR NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    cq_linked(linked ${t})
    if(NOT "Qt6::Core" IN_LIST linked)
      continue()
    endif()
    # A set GCC does not take is said, so that a change of options cannot
    # quietly cost the time it saves.
    target_compile_options(${t} PRIVATE -Winvalid-pch)
    if("GTest::gtest" IN_LIST linked AND "Qt6::Widgets" IN_LIST linked)
      target_precompile_headers(${t} REUSE_FROM cq_pch_widget_test)
    elseif("GTest::gtest" IN_LIST linked)
      target_precompile_headers(${t} REUSE_FROM cq_pch_test)
    else()
      target_precompile_headers(${t} REUSE_FROM cq_pch_library)
    endif()
    # moc's file of the target holds next to nothing: the meta-object code
    # is compiled with its class's file.
    get_target_property(automoc ${t} AUTOMOC)
    get_target_property(bin ${t} BINARY_DIR)
    if(automoc)
      set_source_files_properties(${bin}/${t}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${t} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
endif()
