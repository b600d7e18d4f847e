# Makes the release read-me: docs/readme-ja.txt.in (UTF-8, LF) with the
# version and date filled in, as code page 932 with CR LF, which Notepad on a
# Japanese Windows of any age opens as it is.
#   cmake -DIN=... -DOUT=... -DPROJECT_VERSION=... -DK307_RELEASE_DATE=... -P make-readme.cmake
configure_file(${IN} ${OUT}.utf8 @ONLY NEWLINE_STYLE CRLF)
find_program(ICONV iconv REQUIRED)
execute_process(COMMAND ${ICONV} -f UTF-8 -t CP932 INPUT_FILE ${OUT}.utf8 OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
file(REMOVE ${OUT}.utf8)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "the read-me holds characters that code page 932 does not have")
endif()
