" Vellum scripts are .q9c files.
autocmd BufNewFile,BufRead *.q9c setfiletype vellum
