Class Broken
    Public Property Let Value()
    End Property
End Class
