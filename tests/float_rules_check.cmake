# Refuses, in the simulation's sources, the two things that let peers built by
# different compilers or against different C libraries compute different
# bits: a call of a C library power, exponential, logarithm or trigonometric
# function (app/game_math.h has what the rules need), and a change of the
# rounding mode inside simulation code (a compiler may move the arithmetic
# around it; the text helpers switch to round-to-nearest inside themselves).
# Comments and string literals are not code and are skipped.
#   cmake -DSOURCE_DIR=<the tree> -P float_rules_check.cmake
set(transcendental "pow|exp|exp2|expm1|log|log10|log2|log1p|sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|cbrt|hypot|erf|erfc|tgamma|lgamma")
set(call_rule "(^|[^A-Za-z0-9_.>:])(std::|::)?(${transcendental})[fl]?[ \t\n]*\\(")
set(mode_rule "NearestRoundingScope|fesetround|fesetenv|feupdateenv|fesetmode|_mm_setcsr|ldmxcsr|fldcw")

function(code_of text out)
  string(REGEX REPLACE "\"([^\"\\\\\n]|\\\\.)*\"" "\"\"" text "${text}")
  string(REGEX REPLACE "//[^\n]*" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Offences found in one text, for the report.
function(offences_in text out)
  code_of("${text}" code)
  string(REGEX MATCHALL "${call_rule}" calls "${code}")
  string(REGEX MATCHALL "${mode_rule}" modes "${code}")
  set(found)
  foreach(m IN LISTS calls modes)
    string(STRIP "${m}" m)
    list(APPEND found "${m}")
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# The rules themselves first, on lines that must and must not be refused, so
# a broken pattern cannot pass every file unseen.
set(refused
  "x = std::pow(10.0f, y)" "return powf(a, b)" "y = ::log10f (x)" "t = atan2(dy,\n dx)"
  "a = exp(b)" "s = std::sin(x)" "plat::NearestRoundingScope nearest" "std::fesetround(FE_TONEAREST)")
set(allowed
  "r = std::sqrt(x)" "GamePow(10.0f, y)" "LogWrite(p, \"log(x)\")" "// pow(10, y) once\n"
  "world.log(3)" "Events::exp(2)" "catalog(1)" "float exponent(2)" "Sine(x)")
foreach(sample IN LISTS refused)
  offences_in("${sample}" found)
  if(NOT found)
    message(FATAL_ERROR "float rules: the check lets through: ${sample}")
  endif()
endforeach()
foreach(sample IN LISTS allowed)
  offences_in("${sample}" found)
  if(found)
    message(FATAL_ERROR "float rules: the check refuses: ${sample} (${found})")
  endif()
endforeach()

set(files)
foreach(dir records world sim units ai net)
  file(GLOB_RECURSE some ${SOURCE_DIR}/src/${dir}/*.cpp ${SOURCE_DIR}/src/${dir}/*.h)
  list(APPEND files ${some})
endforeach()
list(FILTER files EXCLUDE REGEX "_test\\.cpp$")
list(LENGTH files count)
if(count LESS 50)
  message(FATAL_ERROR "float rules: only ${count} simulation sources under ${SOURCE_DIR}/src")
endif()
set(failures "")
foreach(f IN LISTS files)
  file(READ ${f} text)
  offences_in("${text}" found)
  if(found)
    file(RELATIVE_PATH rel ${SOURCE_DIR} ${f})
    string(APPEND failures "\n  ${rel}: ${found}")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "float rules: the simulation calls the C library's transcendental functions or "
                      "switches the rounding mode (use app/game_math.h; format through the text helpers):${failures}")
endif()
message(STATUS "float rules: ${count} simulation sources clean")
