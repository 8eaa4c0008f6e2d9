-- Building many short strings with .. and one long one, piece by piece.
function Build(count)
  local long = ""
  local last = ""
  local every = 0
  local i = 0
  while i < count do
    last = "k" .. i .. "=" .. (i + i)
    every = every + 1
    if every == 200 then
      long = long .. last .. ";"
      every = 0
    end
    i = i + 1
  end
  return last .. " " .. long
end

print(Build(600000))
