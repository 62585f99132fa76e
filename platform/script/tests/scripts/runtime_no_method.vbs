Set re = New RegExp
re.NoSuchMethod 1
