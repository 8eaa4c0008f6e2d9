-- Short-lived records: each is built, read once and dropped at once.
function Run(count)
  local sum = 0
  local i = 0
  while i < count do
    local p = {v = i}
    local q = {v = p.v, w = i + 1}
    sum = sum + q.w - p.v
    i = i + 1
  end
  return sum
end

print(Run(3000000))
