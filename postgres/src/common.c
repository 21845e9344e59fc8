/* The module, the cancelling of long library calls, the SQL errors of
 * library statuses and the check of a breaks argument. */
#include "mensora_pg.h"

#include <math.h>

#include "miscadmin.h"

PG_MODULE_MAGIC;

/* Polled by the library's long loops on this backend's thread: stops the
 * call when an interrupt (a cancel, a statement timeout, a terminate) waits
 * to be served. The error itself is raised once the library has returned. */
static int
pending_interrupt(void *user_data, double fraction_done)
{
	return INTERRUPTS_PENDING_CONDITION() && INTERRUPTS_CAN_BE_PROCESSED();
}

void		_PG_init(void);

void
_PG_init(void)
{
	mensora_set_progress(pending_interrupt, NULL);
	/* A backend lives long and is one of many: it keeps no working memory of
	 * the library between calls, outside the server's own accounting. */
	mensora_keep_memory(0);
}

/* The library's reason for the last failed call of this thread, else the
 * text of the status. */
static const char *
reason(int status)
{
	const char *text = mensora_last_reason();

	return text != NULL && text[0] != '\0' ? text : mensora_status_message(status);
}

bool
mensora_pg_retry(int status)
{
	if (status != MENSORA_ERROR_CANCELLED)
		return false;
	/* Raises the error of the interrupt; a call stopped for an interrupt
	 * that raises none runs again. */
	CHECK_FOR_INTERRUPTS();
	return true;
}

void
mensora_pg_check(int status, const char *what)
{
	switch (status)
	{
		case MENSORA_OK:
			return;
		case MENSORA_ERROR_MEMORY:
			ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY),
							errmsg("mensora: %s: %s", what, reason(status))));
			break;
		case MENSORA_ERROR_DATA:
			ereport(ERROR, (errcode(ERRCODE_DATA_EXCEPTION),
							errmsg("mensora: %s: %s", what, reason(status))));
			break;
		default:
			ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
							errmsg("mensora: %s: %s", what, reason(status))));
	}
}

/* Fails unless the breaks of an argument, from the float8[] array of count
 * items, are a list of two or more ascending numbers. */
void
mensora_pg_check_breaks(ArrayType *array, int count)
{
	const double *breaks = (const double *) ARR_DATA_PTR(array);

	if (ARR_NDIM(array) > 1 || ARR_HASNULL(array) || count < 2)
		ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
						errmsg("mensora: the breaks are not a list of two or more numbers")));
	for (int i = 0; i < count; ++i)
		if (isnan(breaks[i]) || (i > 0 && !(breaks[i - 1] <= breaks[i])))
			ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
							errmsg("mensora: the breaks must ascend")));
}
