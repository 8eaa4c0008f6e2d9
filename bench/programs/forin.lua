-- for-in over a large table with string keys, key and value both taken.
function Run(count, rounds)
  local t = {}
  local i = 0
  while i < count do
    t["key" .. i] = i
    i = i + 1
  end
  local sum = 0
  local keys = 0
  local round = 0
  while round < rounds do
    for k, v in pairs(t) do
      sum = sum + v
      if k == "key7" then
        keys = keys + 1
      end
    end
    round = round + 1
  end
  return sum .. " " .. keys
end

print(Run(100000, 10))
