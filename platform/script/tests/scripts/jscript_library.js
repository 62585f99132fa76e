// The library functions scripts of the language use that the interpreter has no own form of: the
// engine-information functions, the String HTML methods, parseInt of a leading zero, the text
// around the last match, and VBArray and Enumerator over what automation objects hand over.
Host.Say(ScriptEngine() + " " + ScriptEngineMajorVersion() + "." + ScriptEngineMinorVersion() + "." + ScriptEngineBuildVersion());
Host.Say(typeof ScriptEngineMajorVersion() + " " + typeof ScriptEngineBuildVersion());

Host.Say("a".anchor("n") + " " + "a".big() + " " + "a".blink() + " " + "a".bold() + " " + "a".fixed());
Host.Say("a".fontcolor("red") + " " + "a".fontsize(7) + " " + "a".italics() + " " + "a".link("u.htm"));
Host.Say("a".small() + " " + "a".strike() + " " + "a".sub() + " " + "a".sup());
Host.Say((5).toString().bold() + " " + String.prototype.bold.call(12));
var listed = [];
for (var name in "text") listed.push(name);
Host.Say("the methods are not listed: " + listed.join(","));

Host.Say([parseInt("010"), parseInt("08"), parseInt("0x1f"), parseInt("010", 10), parseInt("  012"),
          parseInt("-017"), parseInt("0"), parseInt("12"), parseInt("019", 0), parseInt("z")].join(" "));

Host.Say("before any match: [" + RegExp.leftContext + "|" + RegExp.rightContext + "]");
/b+/.exec("aabbbcc");
Host.Say("exec: " + RegExp.leftContext + "|" + RegExp.rightContext);
"xyz".replace(/y/, "Q");
Host.Say("replace: " + RegExp.leftContext + "|" + RegExp.rightContext);
"one two three".match(/t\w+/g);
Host.Say("global match, its last: " + RegExp.leftContext + "|" + RegExp.rightContext);
/q/.test("no match here");
Host.Say("a failed match keeps them: " + RegExp.leftContext + "|" + RegExp.rightContext);
/\d/.test("ab1cd");
Host.Say("test: " + RegExp.leftContext + "|" + RegExp.rightContext);
Host.Say("search: " + "hello".search(/l+/) + " " + RegExp.leftContext + "|" + RegExp.rightContext);

var grid = new VBArray(Host.Grid());
Host.Say("dimensions " + grid.dimensions() + ", bounds " + grid.lbound() + ".." + grid.ubound() + " and "
         + grid.lbound(2) + ".." + grid.ubound(2));
Host.Say("getItem(2, 1) " + grid.getItem(2, 1) + ", toArray " + grid.toArray().join(","));
try { grid.getItem(3, 0); } catch (e) { Host.Say("getItem(3, 0): " + e.name + " " + e.message); }
try { grid.lbound(3); } catch (e) { Host.Say("lbound(3): " + e.name + " " + e.message); }
try { new VBArray([1, 2]); } catch (e) { Host.Say("VBArray of a script array: " + e.name + " " + e.message); }

var seen = [];
for (var colours = new Enumerator(Host.Colours()); !colours.atEnd(); colours.moveNext())
    seen.push(colours.item());
Host.Say("Enumerator: " + seen.join(",") + " then " + colours.item());
colours.moveFirst();
Host.Say("moveFirst: " + colours.item());
Host.Say("empty Enumerator at end: " + new Enumerator().atEnd());
try { new Enumerator(5); } catch (e) { Host.Say("Enumerator of a number: " + e.name + " " + e.message); }
