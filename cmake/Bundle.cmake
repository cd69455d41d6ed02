# Files joined into one, in order (cmake -DOUT=... -DFILES="a|b|..." -P), each
# after a line naming it; written beside its place and renamed in, so a page
# loaded during a build never gets half of it.
string(REPLACE "|" ";" FILES "${FILES}")
set(joined "")
foreach(file IN LISTS FILES)
  file(READ "${file}" text)
  get_filename_component(name "${file}" NAME)
  string(APPEND joined "/* ---- ${name} */\n${text}\n")
endforeach()
file(WRITE "${OUT}.part" "${joined}")
file(RENAME "${OUT}.part" "${OUT}")
