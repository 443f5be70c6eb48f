# Turns the window's icon, drawn in ImageMagick's vector language (MVG), into
# an SVG of the same drawing. Knows the commands icon.mvg uses: fill colours,
# stroke none and polygons.
# Run as: cmake -DMVG=icon.mvg -DSVG=icon.svg -P mvg_to_svg.cmake
file(STRINGS ${MVG} lines)
set(size 16)
set(fill black)
set(shapes)
foreach(line IN LISTS lines)
  if(line MATCHES "^#")
    # The size is told in a comment: "... 16 x 16 pixels ..."
    if(line MATCHES "([0-9]+) x [0-9]+ pixels")
      set(size ${CMAKE_MATCH_1})
    endif()
  elseif(line MATCHES "^fill '([^']+)'$")
    set(fill ${CMAKE_MATCH_1})
  elseif(line MATCHES "^polygon (.+)$")
    string(APPEND shapes "  <polygon fill=\"${fill}\" points=\"${CMAKE_MATCH_1}\"/>\n")
  elseif(NOT line MATCHES "^(stroke none)?$")
    message(FATAL_ERROR "${MVG}: no SVG for \"${line}\"")
  endif()
endforeach()
file(WRITE ${SVG} "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"${size}\" height=\"${size}\" "
                  "viewBox=\"0 0 ${size} ${size}\">\n${shapes}</svg>\n")
