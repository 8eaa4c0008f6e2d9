-- A quicksort written in the script, on an array of 800000 numbers from a
-- chaotic sequence; the check counts the neighbours found in order.
function Sort(a, lo, hi)
  if lo >= hi then
    return 0
  end
  local pivot = a[lo]
  local i = lo
  local j = hi
  while i <= j do
    while a[i] < pivot do
      i = i + 1
    end
    while a[j] > pivot do
      j = j - 1
    end
    if i <= j then
      local t = a[i]
      a[i] = a[j]
      a[j] = t
      i = i + 1
      j = j - 1
    end
  end
  Sort(a, lo, j)
  Sort(a, i, hi)
  return 0
end

function Run(count)
  local a = {}
  local x = 0.3
  local i = 0
  while i < count do
    x = 3.99 * x * (1 - x)
    a[i] = x
    i = i + 1
  end
  Sort(a, 0, count - 1)
  local ordered = 0
  i = 1
  while i < count do
    if a[i - 1] <= a[i] then
      ordered = ordered + 1
    end
    i = i + 1
  end
  return ordered
end

print(Run(800000))
