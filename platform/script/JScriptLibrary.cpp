#include "platform/script/JScriptLibrary.h"

#include "platform/base/CString.h"
#include "platform/script/EngineVersion.h"

#include <duktape.h>

#include <string>

namespace jscript {

namespace {

// Run once per interpreter, before any script. Everything it adds is a built-in: not enumerable.
constexpr const char* kLibrary = R"JS(
(function (global, safeArrayData, collectionItems, version) {
  function define(object, name, value) {
    Object.defineProperty(object, name, { value: value, writable: true, configurable: true, enumerable: false });
  }
  function hidden(object, name, value) {
    Object.defineProperty(object, name, { value: value });
  }

  define(global, 'ScriptEngine', function ScriptEngine() { return 'JScript'; });
  define(global, 'ScriptEngineMajorVersion', function ScriptEngineMajorVersion() { return version[0]; });
  define(global, 'ScriptEngineMinorVersion', function ScriptEngineMinorVersion() { return version[1]; });
  define(global, 'ScriptEngineBuildVersion', function ScriptEngineBuildVersion() { return version[2]; });

  // The library's own searches use the interpreter's methods, so as not to count as the script's matches.
  var nativeExec = RegExp.prototype.exec;
  var nativeReplace = String.prototype.replace;

  // Without a radix, a text that starts with 0 (and not 0x) is octal.
  var parse = global.parseInt;
  define(global, 'parseInt', function parseInt(text, radix) {
    var written = nativeReplace.call(String(text), /^\s+/, '');
    if ((radix === undefined || (radix | 0) === 0) && nativeExec.call(/^[+-]?0[^xX]/, written) !== null)
      return parse(written, 8);
    return parse(text, radix);
  });

  function htmlMethod(tag, attribute) {
    return function (value) {
      if (this === null || this === undefined)
        throw new TypeError("'this' is null or not an object");
      var open = attribute ? '<' + tag + ' ' + attribute + '="' + String(value) + '">' : '<' + tag + '>';
      return open + String(this) + '</' + tag + '>';
    };
  }
  var html = [['anchor', 'A', 'NAME'], ['big', 'BIG'], ['blink', 'BLINK'], ['bold', 'B'], ['fixed', 'TT'],
              ['fontcolor', 'FONT', 'COLOR'], ['fontsize', 'FONT', 'SIZE'], ['italics', 'I'], ['link', 'A', 'HREF'],
              ['small', 'SMALL'], ['strike', 'STRIKE'], ['sub', 'SUB'], ['sup', 'SUP']];
  for (var i = 0; i < html.length; ++i)
    define(String.prototype, html[i][0], htmlMethod(html[i][1], html[i][2]));

  // The text around the last successful match of any regular expression.
  var last = { input: '', index: 0, length: 0 };
  function note(match, input) {
    if (match) {
      last.input = input;
      last.index = match.index;
      last.length = match[0].length;
    }
    return match;
  }
  // The last match a whole search of text by pattern finds (a global one finds several).
  function noteLastMatch(pattern, text) {
    var search = new RegExp(pattern.source, (pattern.ignoreCase ? 'i' : '') + (pattern.multiline ? 'm' : '') + (pattern.global ? 'g' : ''));
    var match, found = null;
    while ((match = nativeExec.call(search, text)) !== null) {
      found = match;
      if (!search.global)
        break;
      if (match[0] === '')
        ++search.lastIndex;
    }
    note(found, text);
  }
  define(RegExp.prototype, 'exec', function exec(text) {
    var input = String(text);
    return note(nativeExec.call(this, input), input);
  });
  define(RegExp.prototype, 'test', function test(text) { return this.exec(text) !== null; });
  var stringMethods = ['match', 'replace', 'search'];
  for (var m = 0; m < stringMethods.length; ++m) {
    (function (name, original) {
      define(String.prototype, name, function (pattern) {
        var result = original.apply(this, arguments);
        if (pattern instanceof RegExp)
          noteLastMatch(pattern, String(this));
        return result;
      });
    })(stringMethods[m], String.prototype[stringMethods[m]]);
  }
  Object.defineProperty(RegExp, 'leftContext', { configurable: true, enumerable: false,
    get: function () { return last.input.substring(0, last.index); } });
  Object.defineProperty(RegExp, 'rightContext', { configurable: true, enumerable: false,
    get: function () { return last.input.substring(last.index + last.length); } });

  function VBArray(value) {
    if (!(this instanceof VBArray))
      return new VBArray(value);
    hidden(this, '_data', safeArrayData(value));
  }
  function dimension(array, which) {
    var d = which === undefined ? 1 : Number(which);
    if (!(d >= 1 && d <= array._data.lbounds.length) || d !== Math.floor(d))
      throw new RangeError('Subscript out of range');
    return d - 1;
  }
  define(VBArray.prototype, 'dimensions', function dimensions() { return this._data.lbounds.length; });
  define(VBArray.prototype, 'lbound', function lbound(which) { return this._data.lbounds[dimension(this, which)]; });
  define(VBArray.prototype, 'ubound', function ubound(which) { return this._data.ubounds[dimension(this, which)]; });
  define(VBArray.prototype, 'toArray', function toArray() { return this._data.items.slice(); });
  define(VBArray.prototype, 'getItem', function getItem() {
    var data = this._data, offset = 0, stride = 1;
    if (arguments.length !== data.lbounds.length)
      throw new RangeError('Subscript out of range');
    for (var d = 0; d < arguments.length; ++d) {
      var index = Number(arguments[d]);
      if (!(index >= data.lbounds[d] && index <= data.ubounds[d]))
        throw new RangeError('Subscript out of range');
      offset += (Math.floor(index) - data.lbounds[d]) * stride;
      stride *= data.ubounds[d] - data.lbounds[d] + 1;
    }
    return data.items[offset];
  });
  define(global, 'VBArray', VBArray);

  // Walks a snapshot of the collection's items; without a collection it is at its end at once.
  function Enumerator(collection) {
    if (!(this instanceof Enumerator))
      return new Enumerator(collection);
    hidden(this, '_items', collection === undefined ? [] : collectionItems(collection));
    Object.defineProperty(this, '_position', { value: 0, writable: true });
  }
  define(Enumerator.prototype, 'atEnd', function atEnd() { return this._position >= this._items.length; });
  define(Enumerator.prototype, 'item', function item() { return this._items[this._position]; });
  define(Enumerator.prototype, 'moveFirst', function moveFirst() { this._position = 0; });
  define(Enumerator.prototype, 'moveNext', function moveNext() {
    if (this._position < this._items.length)
      ++this._position;
  });
  define(global, 'Enumerator', Enumerator);
})
)JS";

} // namespace

void InstallLibrary(duk_context* context)
{
    duk_eval_string(context, kLibrary);
    duk_push_global_object(context);
    duk_get_global_string(context, WideToUtf8(kSafeArrayDataName).c_str());
    duk_get_global_string(context, WideToUtf8(kCollectionItemsName).c_str());
    duk_idx_t version = duk_push_array(context);
    int parts[] = {script::kEngineMajorVersion, script::kEngineMinorVersion, script::kEngineBuildVersion};
    for (duk_uarridx_t i = 0; i < 3; ++i) {
        duk_push_int(context, parts[i]);
        duk_put_prop_index(context, version, i);
    }
    duk_call(context, 4);
    duk_pop(context);
}

} // namespace jscript
