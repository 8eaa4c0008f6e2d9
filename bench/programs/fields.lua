-- Reads and writes of the string-keyed fields x, y and z of small records.
function Update(count, rounds)
  local points = {}
  local i = 0
  while i < count do
    points[#points + 1] = {x = i, y = count - i, z = 0}
    i = i + 1
  end
  local round = 0
  while round < rounds do
    local j = 1
    while j <= count do
      local p = points[j]
      local x = p.x
      p.x = p.y
      p.y = x
      p.z = p.z + p.x + p.y
      j = j + 1
    end
    round = round + 1
  end
  local sum = 0
  for _, q in ipairs(points) do
    sum = sum + q.z + q.x
  end
  return sum
end

print(Update(1000, 3000))
