# Makes the copy of Debian's Arduino AVR core in CORE_DIR compile with
# Debian's avr-gcc 5.4: cores/arduino/WString.cpp sizes two buffers with
# expressions that compiler does not take as constants, and uses DECIMAL_DIG,
# which its headers leave undeclared. Each gets the plain number it stands for
# on the AVR (float and double are both 32-bit there). A core without these
# lines (a newer one) is left as it is.
#
#   cmake -DCORE_DIR=... -P patch_core.cmake
set(wstring ${CORE_DIR}/cores/arduino/WString.cpp)
file(READ ${wstring} text)
# The most decimal places String(float) prints.
string(REPLACE "= DECIMAL_DIG;" "= 10;" text "${text}")
# 38 + 1 integer digits (FLT_MAX_10_EXP + 1), 10 decimal places, the sign,
# the point and the terminating zero.
string(REGEX REPLACE "(static size_t const (FLOAT|DOUBLE)_BUF_SIZE = )[^;]*;" "\\152;" text "${text}")
file(WRITE ${wstring} "${text}")
