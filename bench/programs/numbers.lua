-- Building strings with whole and fractional numbers in them.
function Build(count)
  local length = 0
  local line = ""
  local i = 0
  while i < count do
    line = "item " .. i .. ": " .. string.format("%.6f", i * 0.25 + 0.125) .. " of " .. (count - i) .. ";"
    length = length + #line
    i = i + 1
  end
  return length .. " " .. line
end

print(Build(300000))
