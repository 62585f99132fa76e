' Classes: fields, properties, methods, default member, Me, life cycle events.
Class Counter
    Private m_count
    Public Name
    Public Items(2)

    Private Sub Class_Initialize()
        m_count = 0
        Name = "unnamed"
        MsgBox "init"
    End Sub

    Private Sub Class_Terminate()
        MsgBox "terminate " & Name
    End Sub

    Public Default Property Get Count()
        Count = m_count
    End Property

    Public Property Let Count(value)
        If value < 0 Then Err.Raise 5
        m_count = value
    End Property

    Public Sub Increment(by)
        m_count = m_count + by
    End Sub

    Public Function Describe()
        Describe = Name & "=" & Me.Count
    End Function

    Private Function Hidden()
        Hidden = "hidden"
    End Function

    Public Function CallHidden()
        CallHidden = Hidden()
    End Function
End Class

Class Node
    Public Value
    Public NextNode
End Class

Set c = New Counter
c.Name = "first"
c.Increment 3
c.Count = c.Count + 1
MsgBox c.Describe()
MsgBox c & " " & c.Count
c.Items(1) = "item"
MsgBox c.Items(1) & " " & UBound(c.Items)
MsgBox TypeName(c) & " " & IsObject(c)
MsgBox c.CallHidden()
Set d = c
MsgBox (d Is c) & " " & (d Is Nothing)
Set d = Nothing
Set c = Nothing
MsgBox "after release"
Set head = New Node
head.Value = 1
Set head.NextNode = New Node
head.NextNode.Value = 2
MsgBox head.Value + head.NextNode.Value
With head.NextNode
    .Value = 20
    MsgBox .Value
End With
On Error Resume Next
Set e = New Counter
e.Name = "second"
e.Count = -1
MsgBox "let error " & Err.Number
Err.Clear
x = e.Hidden()
MsgBox "private " & Err.Number
Err.Clear
Set u = New Unknown
MsgBox "undefined class " & Err.Number
Err.Clear
Class Mirror
    Public Default Property Get Self()
        Set Self = Me
    End Property
End Class
Set l = New Mirror
x = l + 1
MsgBox "self default " & Err.Number
