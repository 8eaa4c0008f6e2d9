" Vim syntax file
" Language: Vellum script (.q9c)
"
" Colours what the built-in editor colours, read as the lexer reads it:
" strings have no escapes and may run over lines, '#' comments run to the
" line end, '/* */' comments may span lines and the opener's star may also
" close one ('/*/' is a whole comment). A word is letters and digits, so
" an underscore ends one.

if exists('b:current_syntax')
  finish
endif

syntax iskeyword @,48-57,192-255
syntax case match

syntax keyword vellumStatement var function return include
syntax keyword vellumConditional if elseif else end
syntax keyword vellumRepeat while for in
syntax keyword vellumOperator and or
syntax keyword vellumConstant true false null

syntax match vellumNumber "\%(\k\)\@<!\d\+\%(\.\d*\)\=\%([eE][+-]\=\d\+\)\="
syntax region vellumString start=+"+ end=+"+
syntax region vellumString start=+'+ end=+'+
syntax match vellumComment "#.*$"
syntax region vellumComment start="/\ze\*" end="\*/"

highlight default link vellumStatement Statement
highlight default link vellumConditional Conditional
highlight default link vellumRepeat Repeat
highlight default link vellumOperator Operator
highlight default link vellumConstant Constant
highlight default link vellumNumber Number
highlight default link vellumString String
highlight default link vellumComment Comment

let b:current_syntax = 'vellum'
