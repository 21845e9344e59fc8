/* The package's most frequent calls, compiled: the breaks of a sample in
 * one call, and the range classes of a sample with all that a
 * Classification holds. Through ctypes each foreign call costs about a
 * microsecond of argument conversion and result objects; here the values are
 * read in place and the results are written straight into new numpy arrays.
 *
 * The library is the one _native loaded with ctypes: bind() receives the
 * addresses of the functions used here, so one copy of the library serves
 * both ways in. Every other call, and these where the module is missing
 * (a copy of the package's Python files, as the QGIS plugin bundles), go
 * through ctypes with the same results. The GIL is released while the
 * library works. */
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#define NPY_NO_DEPRECATED_API NPY_1_7_API_VERSION
#include <numpy/arrayobject.h>

#include <stdint.h>
#include <string.h>

#include "mensora_c.h"

typedef int (*breaks_function)(const double*, int32_t, int32_t, int32_t, double*);
typedef int (*class_function)(mensora_sample*, int32_t, mensora_classes*);

static int (*sample_open)(const double*, int32_t, int32_t, mensora_sample**);
static int (*class_facts)(mensora_sample*, int32_t, int32_t*, double*, double*, mensora_facts*);
static void (*sample_free)(mensora_sample*);

/* A function or struct address handed over as a Python int; NULL with an
 * exception for anything else. */
static void* Address(PyObject* object, const char* what) {
  void* address = PyLong_Check(object) ? PyLong_AsVoidPtr(object) : NULL;
  if (address == NULL && !PyErr_Occurred()) {
    PyErr_Format(PyExc_TypeError, "%s must be a nonzero address", what);
  }
  return address;
}

/* The values where the library can read them as they are: a float64 array
 * (not a subclass: a masked array's mask would be lost), one-dimensional,
 * C-contiguous, aligned, in the machine's byte order, of at most `longest`
 * entries; NULL, without an exception, for anything else, which the caller
 * converts first (_input.as_values). */
static PyArrayObject* Values(PyObject* object, Py_ssize_t longest) {
  if (!PyArray_CheckExact(object)) return NULL;
  PyArrayObject* values = (PyArrayObject*)object;
  if (PyArray_NDIM(values) != 1 || PyArray_TYPE(values) != NPY_DOUBLE ||
      !PyArray_ISNOTSWAPPED(values) || !PyArray_ISALIGNED(values) ||
      !PyArray_IS_C_CONTIGUOUS(values) || PyArray_SIZE(values) > longest) {
    return NULL;
  }
  return values;
}

/* A whole number from lowest to INT32_MAX; -1 with an exception otherwise. */
static int32_t Count(PyObject* object, long lowest, const char* what) {
  const long value = PyLong_AsLong(object);
  if (value == -1 && PyErr_Occurred()) return -1;
  if (value < lowest || value > INT32_MAX) {
    PyErr_Format(PyExc_ValueError, "%s must be from %ld to 2**31 - 1", what, lowest);
    return -1;
  }
  return (int32_t)value;
}

static PyObject* Vector(npy_intp length, int type) {
  return PyArray_SimpleNew(1, &length, type);
}

/* The arguments of a call: `wanted` in all, the first three a function
 * address, the values and k, the last the most values to read (a Py_ssize_t).
 * 1 when all are right; 0, without an exception, when the values are not an
 * array to read as it is or hold more than that (see Values); -1 with an
 * exception when an argument is wrong. */
static int Arguments(PyObject* const* args, Py_ssize_t given, Py_ssize_t wanted, const char* name,
                     void** function, PyArrayObject** values, int32_t* k) {
  if (given != wanted) {
    PyErr_Format(PyExc_TypeError, "%s takes %zd arguments (%zd given)", name, wanted, given);
    return -1;
  }
  *function = Address(args[0], "function");
  if (*function == NULL) return -1;
  *k = Count(args[2], 1, "k");
  if (*k < 0) return -1;
  const Py_ssize_t longest = PyLong_AsSsize_t(args[wanted - 1]);
  if (longest == -1 && PyErr_Occurred()) return -1;
  *values = Values(args[1], longest);
  return *values != NULL;
}

PyDoc_STRVAR(bind_doc,
             "bind(sample_open, class_facts, sample_free)\n\n"
             "The addresses of the library's functions that classified() calls.");

static PyObject* Bind(PyObject* module, PyObject* const* args, Py_ssize_t nargs) {
  (void)module;
  if (nargs != 3) {
    PyErr_Format(PyExc_TypeError, "bind takes 3 arguments (%zd given)", nargs);
    return NULL;
  }
  void* opener = Address(args[0], "sample_open");
  void* facts = opener == NULL ? NULL : Address(args[1], "class_facts");
  void* release = facts == NULL ? NULL : Address(args[2], "sample_free");
  if (release == NULL) return NULL;
  *(void**)&sample_open = opener;
  *(void**)&class_facts = facts;
  *(void**)&sample_free = release;
  Py_RETURN_NONE;
}

PyDoc_STRVAR(breaks_doc,
             "breaks(function, values, k, size, longest) -> array, status or None\n\n"
             "function(values, n, MENSORA_SKIP_MISSING, k, breaks), one of the\n"
             "library's breaks calls, into a new float64 array of size entries\n"
             "(k + 1, or fewer where the library refuses k before writing);\n"
             "the library's status where it fails; None, without a call, where\n"
             "values is not a float64 array to read as it is or holds more\n"
             "than longest values.");

static PyObject* Breaks(PyObject* module, PyObject* const* args, Py_ssize_t nargs) {
  (void)module;
  breaks_function function;
  PyArrayObject* values;
  int32_t k;
  const int readable = Arguments(args, nargs, 5, "breaks", (void**)&function, &values, &k);
  if (readable <= 0) return readable < 0 ? NULL : Py_NewRef(Py_None);
  const int32_t size = Count(args[3], 2, "size");
  if (size < 0) return NULL;
  PyObject* breaks = Vector(size, NPY_DOUBLE);
  if (breaks == NULL) return NULL;
  const double* data = (const double*)PyArray_DATA(values);
  const int32_t n = (int32_t)PyArray_SIZE(values);
  double* out = (double*)PyArray_DATA((PyArrayObject*)breaks);
  int status;
  Py_BEGIN_ALLOW_THREADS
  status = function(data, n, MENSORA_SKIP_MISSING, k, out);
  Py_END_ALLOW_THREADS
  if (status != MENSORA_OK) {
    Py_DECREF(breaks);
    return PyLong_FromLong(status);
  }
  return breaks;
}

PyDoc_STRVAR(classified_doc,
             "classified(function, values, k, longest) -> tuple, status or None\n\n"
             "The range classes function(handle, k, out) makes over values, NaN\n"
             "missing, as (breaks, counts as int64, the class of every value as\n"
             "int32, facts, members): facts (fit, missing, unclassified,\n"
             "empty_classes, rule, closed) and members (extremes, whole) as\n"
             "_native.plain_facts and Sample.facts give them; the library's\n"
             "status where a call fails; None as for breaks().");

/* The keys of the fit dict, made once (PyInit__calls). */
static PyObject* fit_keys[5];

/* (fit as a dict, missing, unclassified, empty_classes, rule, closed). */
static PyObject* Facts(const mensora_facts* facts) {
  const double measures[5] = {facts->fit.sdam, facts->fit.sdcm, facts->fit.gvf,
                              facts->fit.adcm, facts->fit.tai};
  PyObject* fit = PyDict_New();
  for (int m = 0; fit != NULL && m < 5; ++m) {
    PyObject* measure = PyFloat_FromDouble(measures[m]);
    if (measure == NULL || PyDict_SetItem(fit, fit_keys[m], measure) < 0) Py_CLEAR(fit);
    Py_XDECREF(measure);
  }
  if (fit == NULL) return NULL;
  return Py_BuildValue("(Niiiii)", fit, (int)facts->notes.missing,
                       (int)facts->notes.unclassified, (int)facts->notes.empty_classes,
                       (int)facts->rule, (int)facts->closed);
}

static PyObject* Classified(PyObject* module, PyObject* const* args, Py_ssize_t nargs) {
  (void)module;
  if (sample_open == NULL) {
    PyErr_SetString(PyExc_RuntimeError, "classified before bind");
    return NULL;
  }
  class_function function;
  PyArrayObject* values;
  int32_t k;
  const int readable = Arguments(args, nargs, 4, "classified", (void**)&function, &values, &k);
  if (readable <= 0) return readable < 0 ? NULL : Py_NewRef(Py_None);

  const npy_intp n = PyArray_SIZE(values);
  const double* data = (const double*)PyArray_DATA(values);
  mensora_sample* sample = NULL;
  mensora_classes classes;
  int status;
  Py_BEGIN_ALLOW_THREADS
  status = sample_open(data, (int32_t)n, MENSORA_SKIP_MISSING, &sample);
  if (status == MENSORA_OK) status = function(sample, k, &classes);
  Py_END_ALLOW_THREADS
  if (status != MENSORA_OK) {
    sample_free(sample);
    return PyLong_FromLong(status);
  }

  const npy_intp count = classes.class_count;
  PyObject* breaks = Vector(count + 1, NPY_DOUBLE);
  PyObject* counts = breaks == NULL ? NULL : Vector(count, NPY_INT64);
  PyObject* labels = counts == NULL ? NULL : Vector(n, NPY_INT32);
  PyObject* extremes = labels == NULL ? NULL : Vector(2 * count, NPY_DOUBLE);
  PyObject* result = NULL;
  if (extremes != NULL) {
    memcpy(PyArray_DATA((PyArrayObject*)breaks), classes.breaks,
           sizeof(double) * (size_t)(count + 1));
    int64_t* wide = (int64_t*)PyArray_DATA((PyArrayObject*)counts);
    for (npy_intp s = 0; s < count; ++s) wide[s] = classes.counts[s];
    double* lowest = (double*)PyArray_DATA((PyArrayObject*)extremes);
    int32_t* yb = (int32_t*)PyArray_DATA((PyArrayObject*)labels);
    mensora_facts facts;
    Py_BEGIN_ALLOW_THREADS
    status = class_facts(sample, 0, yb, lowest, lowest + count, &facts);
    Py_END_ALLOW_THREADS
    if (status != MENSORA_OK) {
      result = PyLong_FromLong(status);
    } else {
      PyObject* told = Facts(&facts);
      PyObject* members = told == NULL ? NULL : Py_BuildValue("(Oi)", extremes, (int)facts.whole);
      if (members != NULL) result = PyTuple_Pack(5, breaks, counts, labels, told, members);
      Py_XDECREF(told);
      Py_XDECREF(members);
    }
  }
  sample_free(sample);
  Py_XDECREF(breaks);
  Py_XDECREF(counts);
  Py_XDECREF(labels);
  Py_XDECREF(extremes);
  return result;
}

static PyMethodDef kMethods[] = {
    {"bind", (PyCFunction)(void (*)(void))Bind, METH_FASTCALL, bind_doc},
    {"breaks", (PyCFunction)(void (*)(void))Breaks, METH_FASTCALL, breaks_doc},
    {"classified", (PyCFunction)(void (*)(void))Classified, METH_FASTCALL, classified_doc},
    {NULL, NULL, 0, NULL},
};

static struct PyModuleDef kModule = {
    PyModuleDef_HEAD_INIT, "mensora._calls",
    "The package's most frequent calls of the native library, compiled.", -1, kMethods,
    NULL, NULL, NULL, NULL,
};

PyMODINIT_FUNC PyInit__calls(void) {
  import_array();
  static const char* const names[5] = {"sdam", "sdcm", "gvf", "adcm", "tai"};
  for (int m = 0; m < 5; ++m) {
    if (fit_keys[m] == NULL && (fit_keys[m] = PyUnicode_InternFromString(names[m])) == NULL) {
      return NULL;
    }
  }
  return PyModule_Create(&kModule);
}
