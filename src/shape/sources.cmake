# Sources of src/shape.
