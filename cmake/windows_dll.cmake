# ordexa.dll: the in-process automation server for Windows, one file with the C++ runtime
# linked statically, the four module entry points exported through com/ordexa.def, the
# type library (widl) as resource TYPELIB 1, the message string table and the version.
# Also the early-bound test client that the Wine tests run.

# The SDK's IDL files (oaidl.idl, ...) come with Wine's development files, stdole2.tlb with
# Wine itself.
find_path(ORDEXA_SDK_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(ORDEXA_STDOLE_DIR stdole2.tlb
          PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(ORDEXA_TLB ${CMAKE_BINARY_DIR}/ordexa.tlb)
add_custom_command(
  OUTPUT ${ORDEXA_TLB}
  COMMAND ${ORDEXA_WIDL} -t -I${ORDEXA_SDK_IDL_DIR} -L${ORDEXA_STDOLE_DIR} -o ${ORDEXA_TLB}
          ${CMAKE_SOURCE_DIR}/com/ordexa.idl
  DEPENDS ${CMAKE_SOURCE_DIR}/com/ordexa.idl
  COMMENT "Type library from com/ordexa.idl"
  VERBATIM)
add_custom_target(ordexa_tlb DEPENDS ${ORDEXA_TLB})

configure_file(${CMAKE_SOURCE_DIR}/com/ordexa.rc.in ${CMAKE_BINARY_DIR}/ordexa.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/ordexa.rc PROPERTIES OBJECT_DEPENDS ${ORDEXA_TLB})

file(GLOB com_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/com/*.cpp)
add_library(ordexa_dll SHARED ${com_sources} ${CMAKE_BINARY_DIR}/ordexa.rc ${CMAKE_SOURCE_DIR}/com/ordexa.def)
add_dependencies(ordexa_dll ordexa_tlb)
set_target_properties(ordexa_dll PROPERTIES OUTPUT_NAME ordexa PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
target_link_libraries(ordexa_dll PRIVATE ordexa)
# One file to ship: libgcc, libstdc++ and winpthread linked in.
target_link_options(ordexa_dll PRIVATE -static)
# The shipped DLL carries no debug sections or symbols (they are most of its size); they go
# beside it into ordexa.dll.debug, which a debugger finds through the DLL's debug link.
if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "objcopy of the MinGW-w64 binutils not found: it splits the debug information off ordexa.dll")
endif()
add_custom_command(TARGET ordexa_dll POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:ordexa_dll> $<TARGET_FILE:ordexa_dll>.debug
  COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:ordexa_dll>.debug $<TARGET_FILE:ordexa_dll>
  COMMENT "Debug information of ordexa.dll into ordexa.dll.debug beside it"
  VERBATIM)

# The programs the Wine tests run (tests/wine/*.cpp, one program each).
file(GLOB wine_clients CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
foreach(client ${wine_clients})
  get_filename_component(name ${client} NAME_WE)
  add_executable(${name} ${client})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include)
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
    ORDEXA_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} ORDEXA_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    ORDEXA_VERSION_PATCH=${PROJECT_VERSION_PATCH})
  target_link_libraries(${name} PRIVATE oleaut32 ole32 uuid version)
  target_link_options(${name} PRIVATE -static -municode)
endforeach()
