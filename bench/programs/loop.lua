-- A tight numeric while loop on function locals.
function Sum(count)
  local sum = 0
  local i = 0
  while i < count do
    sum = sum + i
    i = i + 1
  end
  return sum
end

print(Sum(30000000))
