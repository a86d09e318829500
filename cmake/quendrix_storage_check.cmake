# Fails when code above the statistics engine talks to the database itself: the
# evaluations, the host and the program ask the suite layer and the engine for their data
# and never prepare SQL, touch the raw connection or include the storage interface.
# Passing RDLProgramm().Datenbank() on to a constructor is fine.
#
#   cmake -DROOT=<source dir> -DDIRS=src/evaluations,src/host [-DSTAMP=<stamp>] -P quendrix_storage_check.cmake
#
# Comments, string and character literals do not count (an include line's file name does).

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT OR NOT DIRS)
  message(FATAL_ERROR "quendrix_storage_check: ROOT and DIRS are required")
endif()

# Code patterns, each with the reason told.
set(code_patterns
  "(^|[^A-Za-z0-9_])Prepare[ \t]*\\("                  "prepares SQL"
  "(^|[^A-Za-z0-9_])Exec[ \t]*\\("                     "runs SQL"
  "(^|[^A-Za-z0-9_])Ausfuehren[ \t]*\\([ \t]*[^) \t]"  "runs SQL on the connection"
  "(^|[^A-Za-z0-9_])Vorbereiten[ \t]*\\([ \t]*[^) \t]" "prepares SQL on the connection"
  "(^|[^A-Za-z0-9_])Verbindung[ \t]*\\([ \t]*\\)"      "uses the raw connection"
  "(^|[^A-Za-z0-9_])Massenladen[ \t]*\\("              "bulk-loads a table"
  "(^|[^A-Za-z0-9_])(TRDLStatement|IRDLAbfrage|IRDLVerbindung|IRDLMassenladen)([^A-Za-z0-9_]|$)"
                                                        "uses the storage interface"
  "sqlite3"                                             "uses SQLite directly"
  "libpq|(^|[^A-Za-z0-9_])(PGconn|PGresult|PQ[a-z][A-Za-z]*)([^A-Za-z0-9_]|$)"
                                                        "uses libpq directly")
set(include_pattern "^[ \t]*#[ \t]*include[ \t]*[<\"](rdlspeicher|sqlite3|libpq)")

# A file's content with comments blanked (their line breaks kept), once with string and
# character literals kept (for include lines) and once with them emptied. Characters that
# CMake lists treat specially stand in as control characters meanwhile.
string(ASCII 1 BS)
string(ASCII 2 SC)
string(ASCII 3 LB)
string(ASCII 4 RB)
set(token "//[^\n]*|/\\*([^*]|\\*+[^*/])*\\*+/|\"([^\"${BS}\n]|${BS}[^\n])*\"|'([^'${BS}\n]|${BS}[^\n])+'")

function(read_source path out_code out_bare)
  file(READ "${path}" text)
  string(REPLACE "\\" "${BS}" text "${text}")
  string(REPLACE ";" "${SC}" text "${text}")
  string(REPLACE "[" "${LB}" text "${text}")
  string(REPLACE "]" "${RB}" text "${text}")
  string(REGEX MATCHALL "${token}" tokens "${text}")
  set(rest "${text}")
  set(a "")
  set(b "")
  foreach(t IN LISTS tokens)
    string(FIND "${rest}" "${t}" pos)
    string(SUBSTRING "${rest}" 0 ${pos} before)
    string(LENGTH "${t}" len)
    math(EXPR after "${pos} + ${len}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
    if(t MATCHES "^/")
      string(REGEX REPLACE "[^\n]" "" blank "${t}")
      set(a "${a}${before}${blank}")
      set(b "${b}${before}${blank}")
    elseif(t MATCHES "^\"")
      set(a "${a}${before}${t}")
      set(b "${b}${before}\"\"")
    else()
      set(a "${a}${before}${t}")
      set(b "${b}${before}' '")
    endif()
  endforeach()
  set(${out_code} "${a}${rest}" PARENT_SCOPE)
  set(${out_bare} "${b}${rest}" PARENT_SCOPE)
endfunction()

function(split_lines text result)
  string(REPLACE "\n" ";" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(shown_line line result)
  string(REPLACE "${BS}" "\\" line "${line}")
  string(REPLACE "${SC}" ";" line "${line}")
  string(REPLACE "${LB}" "[" line "${line}")
  string(REPLACE "${RB}" "]" line "${line}")
  string(STRIP "${line}" line)
  set(${result} "${line}" PARENT_SCOPE)
endfunction()

string(REPLACE "," ";" dirs "${DIRS}")
set(files "")
foreach(d IN LISTS dirs)
  file(GLOB_RECURSE found_files "${ROOT}/${d}/*.cpp" "${ROOT}/${d}/*.h")
  list(APPEND files ${found_files})
endforeach()
list(SORT files)

set(found 0)
foreach(path IN LISTS files)
  file(RELATIVE_PATH name "${ROOT}" "${path}")
  read_source("${path}" with_literals bare)
  split_lines("${with_literals}" lines_a)
  split_lines("${bare}" lines_b)
  list(LENGTH lines_b n)
  if(n EQUAL 0)
    continue()
  endif()
  math(EXPR last "${n} - 1")
  foreach(i RANGE ${last})
    list(GET lines_a ${i} la)
    list(GET lines_b ${i} lb)
    set(reason "")
    if(la MATCHES "${include_pattern}")
      set(reason "includes the storage interface")
    else()
      set(rest_patterns ${code_patterns})
      while(rest_patterns)
        list(POP_FRONT rest_patterns re why)
        if(lb MATCHES "${re}")
          set(reason "${why}")
          break()
        endif()
      endwhile()
    endif()
    if(reason)
      math(EXPR number "${i} + 1")
      shown_line("${la}" code)
      message(NOTICE "${name}:${number}: error: ${reason}, which belongs to the suite layer or the statistics engine: ${code}")
      math(EXPR found "${found} + 1")
    endif()
  endforeach()
endforeach()

if(found GREATER 0)
  message(FATAL_ERROR "${found} line(s) in ${DIRS} use the database directly; "
    "move the SQL into src/platform or src/sales_engine and call that.")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
