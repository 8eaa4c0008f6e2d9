-- A million small records kept in one array, half with one field and half
-- with two, then read back.
function Build(count)
  local records = {}
  local n = 0
  local i = 0
  while i < count do
    records[n + 1] = {v = i}
    records[n + 2] = {v = i, w = i + i}
    n = n + 2
    i = i + 1
  end
  return records
end

function Total(records, count)
  local sum = 0
  local i = 1
  while i <= count do
    sum = sum + records[i].v + records[i + 1].v + records[i + 1].w
    i = i + 2
  end
  return sum
end

local records = Build(500000)
print(Total(records, 1000000))
