/* The JavaScript interpreter, compiled here from the system's Duktape source rather than linked
 * from its packaged library, for one setting the package leaves out: the check that Duktape makes
 * on entering a call and at every backtracking step of a regular expression asks the host whether
 * the script must stop, so a runaway pattern ends as soon as the host interrupts it. */

/* Its configuration as the source itself would read it, then the one setting added. */
#define DUK_COMPILING_DUKTAPE
#include <duk_config.h>

int fln_duktape_stop_requested(void);
#define DUK_USE_NATIVE_STACK_CHECK() fln_duktape_stop_requested()

#include <duktape.c>
