Dim a
a = "open
