-- A heap of a million small records, all alive at once, then walked.
function Build(count)
  local heap = {}
  local i = 0
  while i < count do
    heap[i + 1] = {x = i, y = i + i}
    i = i + 1
  end
  return heap
end

function Total(heap)
  local sum = 0
  for _, p in ipairs(heap) do
    sum = sum + p.y - p.x
  end
  return sum
end

local heap = Build(1000000)
print(Total(heap))
