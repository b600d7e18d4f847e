# The program's texts: common/Texts.txt (UTF-8) becomes the header
# <binary dir>/generated/common/Texts.h of code page 932 string literals, the
# same bytes for every compiler. iconv's CP932 is Microsoft's table (for
# example ソ 83 5C, ～ 81 60), which is what Windows converts with.
find_program(K307_ICONV iconv REQUIRED)

# Adds the header to `target` and its folder to the target's include path.
function(k307_texts target root)
  set(table ${root}/common/Texts.txt)
  set(dir ${CMAKE_BINARY_DIR}/generated)
  set(header ${dir}/common/Texts.h)
  add_custom_command(
    OUTPUT ${header}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/common
    COMMAND ${K307_ICONV} -f UTF-8 -t CP932 ${table} > ${dir}/Texts.cp932
    COMMAND ${CMAKE_COMMAND} -DINPUT=${dir}/Texts.cp932 -DOUTPUT=${header} -P ${root}/cmake/TextsHeader.cmake
    DEPENDS ${table} ${root}/cmake/TextsHeader.cmake
    COMMENT "Converting the texts to code page 932"
    VERBATIM)
  target_sources(${target} PRIVATE ${header})
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
