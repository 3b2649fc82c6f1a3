// The shared object that holds the whole core library when the build checks its types across files
// (KADOMEL_ODR_CHECK); it adds nothing of its own.
