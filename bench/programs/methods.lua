-- Method calls resolved through metatable prototypes, one and two levels up.
Shape = {}
Shape.__index = Shape

function Shape:Area()
  return self.w * self.h
end

Rect = setmetatable({}, Shape)
Rect.__index = Rect

function Rect:Grow(d)
  self.w = self.w + d
  self.h = self.h + d
end

function Rect:Shrink(d)
  self.w = self.w - d
  self.h = self.h - d
end

function Run(rounds)
  local shapes = {}
  local i = 0
  while i < 10 do
    shapes[#shapes + 1] = setmetatable({w = i, h = 1}, Rect)
    i = i + 1
  end
  local total = 0
  local round = 0
  while round < rounds do
    for _, s in ipairs(shapes) do
      s:Grow(1)
      total = total + s:Area()
      s:Shrink(1)
    end
    round = round + 1
  end
  return total
end

print(Run(150000))
