// JScript forms that used to fail: labelled statements left by break, numbers past the range
// of a double, JSON text, errors from regular expressions. Each case compares a result with
// the expected one; the run ends with the count of cases that held.
var passed = 0, failed = 0;
function check(actual, expected, label) {
    if (actual === expected) {
        passed++;
    } else {
        failed++;
        Host.Say("FAIL " + label + ": " + actual + " <> " + expected);
    }
}

var trail = "";
block: { trail += "a"; break block; trail += "b"; }
check(trail, "a", "break out of a labelled block");
single: break single;
check(true, true, "a labelled break statement");
outer: for (var i = 0; i < 3; i++) {
    inner: { if (i == 1) break inner; trail += i; }
}
check(trail, "a02", "break out of a labelled block inside a loop");
named: if (trail) { trail += "!"; break named; }
check(trail, "a02!", "break out of a labelled if");
function leaves(n) {
    done: { if (n > 0) break done; return "kept"; }
    again: break again
    return "left";
}
check(leaves(1) + leaves(0), "leftkept", "labelled breaks inside a function");

check(1e2147483648, Infinity, "a literal past the double range");
check(-1e400, -Infinity, "a negative literal past the range");
check(1e-2147483648, 0, "a literal below the smallest double");

check(JSON.parse('{"a":[1,2,{"b":null}],"c":"\\u0041"}').c, "A", "JSON object");
check(JSON.parse(' [1, 2.5e1, true, false, null] ')[1], 25, "JSON array with blanks");
check(JSON.parse('"x"'), "x", "JSON string");
check(JSON.parse('-0.5'), -0.5, "JSON number");
check(JSON.parse('[1e2147483648, -2E+0000000000000003, "1e2147483648"]').join(), "Infinity,-2000,1e2147483648",
      "JSON numbers past the double range");
check(JSON.parse('{"v": 5}', function (k, v) { return k === "v" ? v * 2 : v; }).v, 10, "JSON with a reviver");
var threw = false;
try { JSON.parse("{a:1}"); } catch (e) { threw = e instanceof SyntaxError; }
check(threw, true, "JSON with a bare name is refused");

var caught = 0;
for (var k = 0; k < 5; k++) {
    try {
        try { throw new Error("inner " + k); }
        finally { caught++; }
    } catch (e) {
        caught += 10;
    }
}
check(caught, 55, "nested try/finally with rethrow");

// Failures of a host object's calls, caught, rethrown through finally blocks and left by
// break, continue and return: each path ends, and every finally runs once.
var order = "";
function hostPath(n) {
    try {
        try {
            if (n == 0) Host.Fail(0x80020003);
            if (n == 1) Host.Throw(0x800A0005, "", 0);
            if (n == 2) Host.NoSuchMember();
            return "none";
        } catch (e) {
            order += "c";
            throw e;
        } finally {
            order += "f";
        }
    } catch (outer) {
        return "caught";
    } finally {
        order += "F";
    }
}
check(hostPath(0) + hostPath(1) + hostPath(2) + hostPath(3), "caughtcaughtcaughtnone", "host failures rethrown");
check(order, "cfFcfFcfFfF", "every finally runs once");
var turns = 0;
for (var t = 0; t < 4; t++) {
    try { Host.Fail(0x80004002); } catch (e) { if (t % 2) continue; } finally { turns++; }
    try { if (t == 2) break; } finally { turns += 10; }
}
check(turns, 3 + 20, "continue and break through finally after host failures");

Host.Say("jscript faults: " + passed + " passed, " + failed + " failed");
