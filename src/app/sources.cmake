# Sources of src/app.
