-- Many small records, most of them garbage at once; one in a thousand is kept.
function Run(count)
  local kept = {}
  local sum = 0
  local every = 0
  local i = 0
  while i < count do
    local p = {x = i, y = i + 1}
    sum = sum + p.y - p.x
    every = every + 1
    if every == 1000 then
      kept[#kept + 1] = p
      every = 0
    end
    i = i + 1
  end
  local keptSum = 0
  for _, q in ipairs(kept) do
    keptSum = keptSum + q.x
  end
  return sum .. " " .. keptSum
end

print(Run(2000000))
