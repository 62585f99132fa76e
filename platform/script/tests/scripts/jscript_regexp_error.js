// A regular expression that does not compile ends the run with its line.
var x = 1;
var r = new RegExp("a" + "(");
