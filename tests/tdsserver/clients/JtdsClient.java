// An independent client of the test server: the jTDS JDBC driver, run as a
// source file. Arguments: password catalog port...; standard input: one
// request a line, "kind<TAB>statement[<TAB>parameter]...", where kind is
// "query" (a plain statement), "unicode" (a prepared statement, string
// parameters sent as nvarchar) or "ansi" (sent as varchar). For every port,
// every request prints one JSON line: the server's index, the request's,
// and what the driver made of the answer.
import java.io.BufferedReader;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;

public class JtdsClient {
    public static void main(String[] args) throws Exception {
        Class.forName("net.sourceforge.jtds.jdbc.Driver");
        List<String> requests = new ArrayList<>();
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        for (String line; (line = in.readLine()) != null;)
            if (!line.isEmpty())
                requests.add(line);
        for (int server = 2; server < args.length; ++server) {
            String url = "jdbc:jtds:sqlserver://127.0.0.1:" + args[server] + "/" + args[1] + ";loginTimeout=10;socketTimeout=30";
            Connection unicode = null, ansi = null;
            String loginError = null;
            try {
                unicode = DriverManager.getConnection(url, login(args[0], true));
                ansi = DriverManager.getConnection(url, login(args[0], false));
            } catch (SQLException e) {
                loginError = errors(e);
            }
            for (int r = 0; r < requests.size(); ++r) {
                StringBuilder out = new StringBuilder("{\"server\":" + (server - 2) + ",\"request\":" + r);
                if (loginError != null)
                    out.append(",\"login\":").append(loginError);
                else
                    out.append(run(requests.get(r), unicode, ansi));
                System.out.println(out.append('}'));
            }
            if (unicode != null)
                unicode.close();
            if (ansi != null)
                ansi.close();
        }
    }

    static Properties login(String password, boolean unicode) {
        Properties p = new Properties();
        p.setProperty("user", "sa");
        p.setProperty("password", password);
        p.setProperty("sendStringParametersAsUnicode", unicode ? "true" : "false");
        return p;
    }

    static String run(String request, Connection unicode, Connection ansi) {
        String[] parts = request.split("\t", -1);
        StringBuilder results = new StringBuilder();
        String failure = "[]";
        try {
            Statement statement;
            boolean isResultSet;
            if (parts[0].equals("query")) {
                statement = unicode.createStatement();
                isResultSet = statement.execute(parts[1]);
            } else {
                PreparedStatement p = (parts[0].equals("ansi") ? ansi : unicode).prepareStatement(parts[1]);
                for (int i = 2; i < parts.length; ++i)
                    p.setString(i - 1, parts[i]);
                statement = p;
                isResultSet = p.execute();
            }
            while (true) {
                if (isResultSet) {
                    if (results.length() > 0)
                        results.append(',');
                    results.append(resultSet(statement.getResultSet()));
                } else if (statement.getUpdateCount() == -1) {
                    break;
                }
                isResultSet = statement.getMoreResults();
            }
            statement.close();
        } catch (SQLException e) {
            failure = errors(e);
        }
        return ",\"results\":[" + results + "],\"errors\":" + failure;
    }

    static String resultSet(ResultSet rs) throws SQLException {
        ResultSetMetaData meta = rs.getMetaData();
        StringBuilder columns = new StringBuilder();
        for (int i = 1; i <= meta.getColumnCount(); ++i) {
            if (i > 1)
                columns.append(',');
            columns.append("{\"name\":").append(json(meta.getColumnName(i)))
                   .append(",\"type\":").append(json(meta.getColumnTypeName(i)))
                   .append(",\"size\":").append(meta.getPrecision(i)).append('}');
        }
        StringBuilder rows = new StringBuilder();
        while (rs.next()) {
            if (rows.length() > 0)
                rows.append(',');
            rows.append('[');
            for (int i = 1; i <= meta.getColumnCount(); ++i) {
                if (i > 1)
                    rows.append(',');
                rows.append(json(rs.getString(i)));
            }
            rows.append(']');
        }
        rs.close();
        return "{\"columns\":[" + columns + "],\"rows\":[" + rows + "]}";
    }

    static String errors(SQLException e) {
        StringBuilder out = new StringBuilder("[");
        for (SQLException x = e; x != null; x = x.getNextException()) {
            if (out.length() > 1)
                out.append(',');
            out.append("{\"number\":").append(x.getErrorCode()).append(",\"message\":").append(json(x.getMessage())).append('}');
        }
        return out.append(']').toString();
    }

    static String json(String s) {
        if (s == null)
            return "null";
        StringBuilder out = new StringBuilder("\"");
        for (char c : s.toCharArray()) {
            if (c == '"' || c == '\\')
                out.append('\\').append(c);
            else if (c < 0x20 || c > 0x7e)
                out.append(String.format("\\u%04x", (int) c));
            else
                out.append(c);
        }
        return out.append('"').toString();
    }
}
