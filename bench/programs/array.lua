-- Appending a million numbers to a table, then summing them with for-in.
function FillAndSum(count)
  local t = {}
  local i = 0
  while i < count do
    t[#t + 1] = i
    i = i + 1
  end
  local sum = 0
  for _, v in ipairs(t) do
    sum = sum + v
  end
  return sum
end

print(FillAndSum(1000000))
