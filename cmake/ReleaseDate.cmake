# The release date of the version: the date of the changelog's first entry (`date -R`), which
# the manual pages and the AppStream entry show: IT_RELEASE_DATE ("9 December 2026") and
# IT_RELEASE_ISO_DATE ("2026-12-09").
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.in it_trailers REGEX "^ -- ")
list(GET it_trailers 0 it_first)
if(NOT it_first MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "packaging/changelog.in: the first entry's trailer has no date: ${it_first}")
endif()
set(it_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(it_numbers 01 02 03 04 05 06 07 08 09 10 11 12)
set(it_names January February March April May June July August September October November December)
list(FIND it_months ${CMAKE_MATCH_2} it_index)
list(GET it_numbers ${it_index} it_month)
list(GET it_names ${it_index} it_month_name)
math(EXPR it_day "${CMAKE_MATCH_1} + 0")
set(IT_RELEASE_DATE "${it_day} ${it_month_name} ${CMAKE_MATCH_3}")
set(IT_RELEASE_ISO_DATE "${CMAKE_MATCH_3}-${it_month}-${CMAKE_MATCH_1}")
