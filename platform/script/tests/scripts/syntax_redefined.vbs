Sub Work()
    Dim x
    Dim x
End Sub
