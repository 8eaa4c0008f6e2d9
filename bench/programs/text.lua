-- Text processing: lines of words joined into one text, split back into
-- lines and words, the words counted in a table, and the lines joined again.
local newline = "\n"

-- The pieces of s between the separators, as the script's Split gives them.
function Split(s, separator)
  local pieces = {}
  local start = 1
  while true do
    local at = string.find(s, separator, start, true)
    if not at then
      pieces[#pieces + 1] = string.sub(s, start)
      return pieces
    end
    pieces[#pieces + 1] = string.sub(s, start, at - 1)
    start = at + #separator
  end
end

-- Joins the pieces with the separator, neighbours pairwise, so that each
-- round halves the count and no text is copied more than log2(n) times.
function Join(pieces, separator)
  local count = #pieces
  while count > 1 do
    local joined = {}
    local i = 1
    while i + 1 <= count do
      joined[#joined + 1] = pieces[i] .. separator .. pieces[i + 1]
      i = i + 2
    end
    if i <= count then
      joined[#joined + 1] = pieces[i]
    end
    pieces = joined
    count = #pieces
  end
  return pieces[1]
end

function Run(lineCount)
  local words = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "iota", "kappa", "lambda"}
  local lines = {}
  local k = 0
  local n = 0
  while n < lineCount do
    local line = words[k + 1]
    local w = 1
    while w < 8 do
      k = k + 7
      if k >= 11 then
        k = k - 11
      end
      line = line .. " " .. words[k + 1] .. n
      w = w + 1
    end
    lines[#lines + 1] = line
    n = n + 1
  end
  local text = Join(lines, newline)

  local counts = {}
  local distinct = 0
  local total = 0
  for _, l in ipairs(Split(text, newline)) do
    for _, word in ipairs(Split(l, " ")) do
      local seen = counts[word]
      if seen == nil then
        counts[word] = 1
        distinct = distinct + 1
      else
        counts[word] = seen + 1
      end
      total = total + 1
    end
  end
  local again = Join(Split(text, newline), ";")
  return total .. " " .. distinct .. " " .. counts["alpha"] .. " " .. #again
end

print(Run(40000))
